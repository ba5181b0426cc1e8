#pragma once

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// Test programs hold several test classes: each registers itself here and the
// program's main runs them all.
namespace vektest {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<Factory> &registry()
{
    static std::vector<Factory> r;
    return r;
}

struct Registrar
{
    explicit Registrar(Factory f) { registry().push_back(std::move(f)); }
};

// VEK_TEST_CLASS=Name runs one class only (its functions can then be named on the
// command line).
inline int runAll(int argc, char **argv)
{
    const QByteArray only = qgetenv("VEK_TEST_CLASS");
    int failed = 0;
    for (const Factory &make : registry()) {
        const std::unique_ptr<QObject> test = make();
        if (!only.isEmpty() && only != test->metaObject()->className())
            continue;
        failed += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failed;
}

} // namespace vektest

#define VEK_TEST(Class)                                                                            \
    static const vektest::Registrar registrar_##Class([] { return std::make_unique<Class>(); });
