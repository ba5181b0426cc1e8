#pragma once

#include <QPointer>
#include <array>

namespace vek {

class frmView;
class MDIMain;

// The open Event View windows by view number 1..8 (0 unused, 9..12 never used).
std::array<QPointer<frmView>, 13> &EventViews();

// Opens view n inside the main window: creates it when it is not open, shows it, restores
// it when minimised and brings it to the front. Other numbers do nothing.
frmView *openEventView(MDIMain *main, int view);

// The main window opens its views through here.
void installEventViewOpener(MDIMain *main);

} // namespace vek
