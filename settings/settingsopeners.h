#pragma once

namespace vek {

class MDIMain;

// Lets the main window's and the Event Views' menus open the settings dialogs, the colour
// legend and the about box.
void installSettingsOpeners(MDIMain *main);

} // namespace vek
