#pragma once

#include <QByteArray>
#include <QDateTime>
#include <array>

namespace vek {

constexpr int ZoneCount = 12;

// The twelve zone clocks, recomputed every 250 ms; each head end carries an index into
// them. A value is the zone's wall-clock date and time held with Qt::UTC as a plain
// calendar reading (no zone rules apply to it): read its date() and time().
std::array<QDateTime, ZoneCount> &ZoneTimes();

// The zone's name in the Event View's zone list ("Pacific" .. "Atlantic No DST"); an
// index outside 0..11 gives an empty name.
QByteArray ZoneName(int zone);

} // namespace vek
