#pragma once

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
    About,
};
constexpr int MenuWindowCount = int(MenuWindow::About) + 1;

// The Settings menu's windows, which only administrators may open.
constexpr bool isSettingsWindow(MenuWindow w)
{
    return w >= MenuWindow::AsRunComments && w <= MenuWindow::Users;
}

} // namespace vek
