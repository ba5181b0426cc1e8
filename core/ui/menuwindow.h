#pragma once

#include <array>

namespace vek {

// The windows of the folders above the core that the menus of the main window and of the
// Event Views open. app/ installs an opener for each one that is built; an entry without
// an opener stays disabled.
enum class MenuWindow {
    ChannelView,
    ColourLegend,
    ServerStatus,
    AsRunComments,
    ColourSettings,
    ViewNames,
    HeadEnds,
    AutoLoad,
    NetworkCards,
    QualityControl,
    TimeReference,
    Users,
    AdminOptions,
    MediaStats,
    About,
};
constexpr int MenuWindowCount = int(MenuWindow::About) + 1;

// The Settings menu's windows, which only administrators may open.
constexpr bool isSettingsWindow(MenuWindow w)
{
    return w >= MenuWindow::AsRunComments && w <= MenuWindow::Users;
}

struct MenuEntry
{
    const char *caption;
    MenuWindow window;
};

// The Settings menu, in order; the Event Views' menu says "Color Settings" where the main
// window's says "Colour Settings".
constexpr std::array<MenuEntry, 9> settingsMenuEntries(bool eventView)
{
    return {{{"As Run Comments", MenuWindow::AsRunComments},
             {eventView ? "Color Settings" : "Colour Settings", MenuWindow::ColourSettings},
             {"Event View Names", MenuWindow::ViewNames},
             {"Head End Settings", MenuWindow::HeadEnds},
             {"Media Stats Auto Load", MenuWindow::AutoLoad},
             {"Network Cards", MenuWindow::NetworkCards},
             {"Quality Control", MenuWindow::QualityControl},
             {"Time Reference", MenuWindow::TimeReference},
             {"Users", MenuWindow::Users}}};
}

} // namespace vek
