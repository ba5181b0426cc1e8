#pragma once

namespace vek {

// Options of the system that no settings key holds; they keep their value for the run.
// ConfirmPopupSub: the Add / Update Event dialog checks a new or changed event against
// the head end's schedule before sending it, and the list popup's "Sub Now" still asks.
// On by default: a clash is shown rather than sent.
bool &ConfirmPopupSub();
// ResetSelection: Hold, group Hold and the toolbar's Int. / Res. select the first row again,
// and events may be put into a group only on their own day. Off by default, so an
// operator's selection stays where it was.
bool &ResetSelection();

} // namespace vek
