#pragma once

#include <QByteArray>
#include <QDateTime>
#include <functional>

namespace vek {

// Sets the PC's clock. Every clock setting of the console goes through the one in use:
// the real one, a dry run (VEK_CLOCK_DRY_RUN=1) or one a test installed.
class ClockSetter
{
public:
    virtual ~ClockSetter() = default;
    // Sets the clock to a local date and time. Throws a Failure when the system
    // refuses (no right to change the time) or the time is not valid.
    virtual void setLocalTime(const QDateTime &local) = 0;

    // The setter in use: the installed one, else the dry run when VEK_CLOCK_DRY_RUN is
    // "1", else the real one.
    static ClockSetter &current();
    // Installs a setter (not owned); nullptr returns to the choice above.
    static void install(ClockSetter *setter);
    // Where the dry run chosen by the environment reports (by default the Qt message
    // log); the console points it at its daily log.
    static void setDryRunSink(std::function<void(const QByteArray &)> sink);
};

// Sets the system clock with clock_settime; needs the CAP_SYS_TIME right.
class SystemClockSetter : public ClockSetter
{
public:
    void setLocalTime(const QDateTime &local) override;
};

// Only reports what it would set, through its sink (by default the Qt message log).
class DryRunClockSetter : public ClockSetter
{
public:
    using Sink = std::function<void(const QByteArray &)>;
    explicit DryRunClockSetter(Sink sink = {}) : m_sink(std::move(sink)) {}
    void setLocalTime(const QDateTime &local) override;

private:
    Sink m_sink;
};

// Installs a setter for the lifetime of a scope (tests).
class ScopedClockSetter
{
public:
    explicit ScopedClockSetter(ClockSetter &setter) { ClockSetter::install(&setter); }
    ~ScopedClockSetter() { ClockSetter::install(nullptr); }
    ScopedClockSetter(const ScopedClockSetter &) = delete;
    ScopedClockSetter &operator=(const ScopedClockSetter &) = delete;
};

} // namespace vek
