#pragma once

#include <QByteArray>
#include <cstdio>
#include <functional>
#include <vector>

// Benchmarks register here. vek-bench runs each one several times, every run in a fresh
// process of its own (so a "first" figure really is the first of a process), and prints
// the median of each figure as a "name value" line.
namespace vekbench {

struct Entry
{
    const char *name;
    std::function<void()> run;
    // Runs whose median is printed.
    int runs;
};

inline std::vector<Entry> &registry()
{
    static std::vector<Entry> r;
    return r;
}

struct Registrar
{
    Registrar(const char *name, std::function<void()> run, int runs = 5)
    {
        registry().push_back({name, std::move(run), runs});
    }
};

// One figure of one run.
inline void figure(const char *name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

} // namespace vekbench

#define VEK_BENCH(name, fn) static const vekbench::Registrar bench_##name(#name, fn);
#define VEK_BENCH_RUNS(name, fn, runs)                                                             \
    static const vekbench::Registrar bench_##name(#name, fn, runs);
