#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace vek {

// Every reading of "now" goes through this one clock, so tests can stand at any instant.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The same instant in UTC; the system clock reads it without a time-zone lookup.
    virtual QDateTime nowUtc() const { return now().toUTC(); }
    // Seconds since local midnight, with milliseconds as the fraction.
    virtual double secondsOfDay() const { return now().time().msecsSinceStartOfDay() / 1000.0; }

    // The clock in use; the system's local time unless a test installed another.
    static const Clock &current();
    // Installs a clock (not owned); nullptr returns to the system clock.
    static void install(const Clock *clock);

    static QDateTime localNow() { return current().now(); }
    static QDate today() { return localNow().date(); }
    // Seconds since midnight, with milliseconds as the fraction.
    static double secondsSinceMidnight();
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    QDateTime nowUtc() const override { return QDateTime::currentDateTimeUtc(); }
    // The link reads it for every message: the offset from UTC is looked up once a minute
    // (offsets change only on whole minutes), as each look-up reads the time-zone file's
    // status from the disk.
    double secondsOfDay() const override;

private:
    mutable qint64 m_offsetMinute = -1;
    mutable qint64 m_offsetMs = 0;
};

// A clock that stands still until told to move.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

// Installs a clock for the lifetime of a scope (tests).
class ScopedClock
{
public:
    explicit ScopedClock(const Clock &clock) { Clock::install(&clock); }
    ~ScopedClock() { Clock::install(nullptr); }
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;
};

} // namespace vek
