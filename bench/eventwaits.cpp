#include "eventwaits.h"

#include <atomic>
#include <ctime>
#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>

// The program's own poll() and ppoll() stand before the C library's (the link exports
// them), so every wait of every event dispatcher passes here.
namespace {

std::atomic<bool> g_watching{false};
pthread_t g_thread{};
double g_lastReturn = -1;
std::vector<double> *g_stretches = nullptr;

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

bool watched()
{
    return g_watching.load(std::memory_order_relaxed) && pthread_equal(pthread_self(), g_thread);
}

void waitBegins()
{
    if (watched() && g_lastReturn >= 0 && g_stretches->size() < g_stretches->capacity())
        g_stretches->push_back(nowMs() - g_lastReturn);
}

void waitEnds()
{
    if (watched())
        g_lastReturn = nowMs();
}

template <typename F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int poll(struct pollfd *fds, nfds_t n, int timeout)
{
    static const auto real = next<int (*)(pollfd *, nfds_t, int)>("poll");
    waitBegins();
    const int r = real(fds, n, timeout);
    waitEnds();
    return r;
}

extern "C" int ppoll(struct pollfd *fds, nfds_t n, const struct timespec *timeout,
                     const sigset_t *mask)
{
    static const auto real =
        next<int (*)(pollfd *, nfds_t, const timespec *, const sigset_t *)>("ppoll");
    waitBegins();
    const int r = real(fds, n, timeout, mask);
    waitEnds();
    return r;
}

namespace vekbench {

void watchStretches()
{
    g_watching = false;
    static std::vector<double> stretches;
    stretches.clear();
    // Noting a stretch allocates nothing.
    stretches.reserve(1 << 20);
    g_stretches = &stretches;
    g_thread = pthread_self();
    g_lastReturn = -1;
    g_watching = true;
}

std::vector<double> stopWatchingStretches()
{
    g_watching = false;
    return g_stretches ? *g_stretches : std::vector<double>();
}

} // namespace vekbench
