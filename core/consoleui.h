#pragma once

#include <QByteArray>

namespace vek {

// What the console core asks of the windows above it. The main window implements it;
// headless tests record the calls.
class ConsoleUi
{
public:
    virtual ~ConsoleUi() = default;

    // A head end's Hardware Server could not be reached (once per head end and run).
    virtual void showTroubleWindow(int headEnd) = 0;
    // A new alarm text of a head end; the window reports its clearing to that head end.
    virtual void showAlarmWindow(int headEnd, const QByteArray &text) = 0;
    // The channel table of a head end changed; the Channel View refills when it shows it.
    virtual void fillChanView(int headEnd) = 0;
};

} // namespace vek
