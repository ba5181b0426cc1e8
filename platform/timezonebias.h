#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

namespace vek {

// The PC's standard time-zone bias in minutes: UTC = local standard time + bias (480 for
// Pacific, 300 for Eastern). Daylight saving is not part of it. Tests install a named
// zone or a fixed bias in place of the system's zone.
class TimeZoneBias
{
public:
    virtual ~TimeZoneBias() = default;
    // The standard bias in force at a local date and time.
    virtual int standardBias(const QDateTime &at) const = 0;

    // The bias in use; the system's zone unless a test installed another.
    static const TimeZoneBias &current();
    // Installs a bias (not owned); nullptr returns to the system's zone.
    static void install(const TimeZoneBias *bias);
};

// The bias of a zone of the time-zone database.
class ZoneTimeZoneBias : public TimeZoneBias
{
public:
    explicit ZoneTimeZoneBias(QTimeZone zone) : m_zone(std::move(zone)) {}
    // A zone by its database name ("America/Toronto"); an unknown name is UTC.
    explicit ZoneTimeZoneBias(const QByteArray &ianaId) : m_zone(ianaId) {}
    int standardBias(const QDateTime &at) const override;
    bool isValid() const { return m_zone.isValid(); }

private:
    QTimeZone m_zone;
};

// The PC's own zone.
class SystemTimeZoneBias : public TimeZoneBias
{
public:
    int standardBias(const QDateTime &at) const override;
};

// The same bias at every instant.
class FixedTimeZoneBias : public TimeZoneBias
{
public:
    explicit FixedTimeZoneBias(int minutes) : m_minutes(minutes) {}
    int standardBias(const QDateTime &) const override { return m_minutes; }

private:
    int m_minutes;
};

// Installs a bias for the lifetime of a scope (tests).
class ScopedTimeZoneBias
{
public:
    explicit ScopedTimeZoneBias(const TimeZoneBias &bias) { TimeZoneBias::install(&bias); }
    ~ScopedTimeZoneBias() { TimeZoneBias::install(nullptr); }
    ScopedTimeZoneBias(const ScopedTimeZoneBias &) = delete;
    ScopedTimeZoneBias &operator=(const ScopedTimeZoneBias &) = delete;
};

} // namespace vek
