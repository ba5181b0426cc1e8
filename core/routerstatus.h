#pragma once

namespace vek {

// The status routines: each evaluates head end UpdateHE() and router level or TMX unit
// UpdateUnit() against the status text just stored, and sets the current-source label,
// Substituted and OnBackup of every channel of that level or unit.
void RTRUPDATE();
void RTR_EXT_UPDATE();
void TMXUPDATE();
void TMX_EXT_UPDATE();

} // namespace vek
