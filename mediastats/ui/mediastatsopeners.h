#pragma once

namespace vek {

class MDIMain;

// Lets the menus open the import dialog and the watched folder's settings, and hands the
// main window's watch timer the watched folder.
void installMediaStats(MDIMain *main);

} // namespace vek
