#pragma once

#include <QString>

#include "consoleui.h"

namespace vek {

// What start-up and the main timers ask of the window layer. The main window implements
// it; headless tests record the calls.
class ConsoleWindows : public ConsoleUi
{
public:
    virtual void setCaption(const QString &caption) = 0;
    // Backup mode: pure red background.
    virtual void showBackupLook() = 0;
    virtual void setViewMenuCaption(int view, const QString &caption) = 0;
    // A critical message box with an OK button.
    virtual void showCriticalMessage(const QString &title, const QString &text) = 0;
    virtual void openNetworkCards() = 0;
    virtual void openEventView(int view) = 0;
    virtual void showLogin() = 0;
    // Status-bar panels 1 (time of day) and 2 (date).
    virtual void setClockPanels(const QString &time, const QString &date) = 0;
    // The main window goes and the program ends.
    virtual void endProgram() = 0;
};

} // namespace vek
