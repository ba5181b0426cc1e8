#pragma once

#include <QByteArray>
#include <QString>

#include "core/consolewindows.h"

// A window layer that shows nothing, for tests that run the console core headless.
class QuietWindows : public vek::ConsoleWindows
{
public:
    void showTroubleWindow(int) override {}
    void showAlarmWindow(int, const QByteArray &) override {}
    void fillChanView(int) override {}
    void setCaption(const QString &) override {}
    void showBackupLook() override {}
    void setViewMenuCaption(int, const QString &) override {}
    void showCriticalMessage(const QString &, const QString &) override {}
    void openNetworkCards() override {}
    void openEventView(int) override {}
    void showLogin() override {}
    void setClockPanels(const QString &, const QString &) override {}
    void endProgram() override {}
};
