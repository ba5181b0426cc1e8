#pragma once

#include <QDateTime>
#include <array>

namespace vek {

constexpr int ZoneCount = 12;

// The twelve zone clocks, recomputed every 250 ms; each head end carries an index
// into them. Placeholder until the time-zone module lands.
std::array<QDateTime, ZoneCount> &ZoneTimes();

} // namespace vek
