#pragma once

#include <QObject>
#include <QTemporaryDir>
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
    // The program's own data folder: no test writes beside the built programs, even one
    // that makes no folder of its own (TestHome) for its files and log lines.
    QTemporaryDir home;
    if (!home.isValid())
        qFatal("no temporary data folder");
    qputenv("VEK_HOME", home.path().toLocal8Bit());
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
