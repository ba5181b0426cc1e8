#pragma once

#include <QByteArray>
#include <cstdio>
#include <functional>
#include <vector>

// Benchmarks register here; vek-bench runs them all (or those named on its command line)
// and each prints its figures as "name value" lines.
namespace vekbench {

struct Entry
{
    const char *name;
    std::function<void()> run;
};

inline std::vector<Entry> &registry()
{
    static std::vector<Entry> r;
    return r;
}

struct Registrar
{
    Registrar(const char *name, std::function<void()> run)
    {
        registry().push_back({name, std::move(run)});
    }
};

inline void figure(const char *name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

} // namespace vekbench

#define VEK_BENCH(name, fn) static const vekbench::Registrar bench_##name(#name, fn);
