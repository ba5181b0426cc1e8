#pragma once

namespace vek {

// Fills the daylight-saving table. Placeholder until the time-zone module lands.
void LoadDSTTable();
// Recomputes the twelve zone clocks (the 250 ms tick).
void updateZoneTimes();

} // namespace vek
