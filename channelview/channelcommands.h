#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/channelentries.h"

namespace vek {

// Numbers of channel command bodies: the level in two digits, inputs and outputs in three,
// left-padded with "0" (a longer text is used as it is).
QByteArray levelDigits(int level);
QByteArray inputDigits(int value);

// The quality-control monitor take for a right click on channel ch of the Channel View's
// head end: over a Source column the input now on the channel, over a Dest. column the
// channel's default source, switched to the monitor's output. Empty when nothing is to be
// sent: no channel under the pointer, a channel off the monitor's level, no monitor
// configured, or a router status that cannot tell the input (too short, or not whole).
QByteArray qcMonitorTake(int headEnd, int ch, bool sourceColumn);

// The first refusal of a channel command, as the message box text; "" when the current
// user may change the head end.
QString channelCommandRefusal(int headEnd);

// The sources the channel-control window offers for channel ch: its level, its signal
// type when checked, not excluded, and with ResetSelection only entries flagged hidden.
QList<ComboEntry> controlSourceEntries(int headEnd, int ch);

// The first refusal of an administrator operation (title "Problem"); "" when allowed. The
// head end is checked only for the operations on one head end.
QString adminRefusal(int headEnd, bool needsHeadEnd);

// The send-home run over channel entries 1..255 of one head end: each message carries up to
// ten items "/" level input output; hidden entries are skipped.
class SendHomeRun
{
public:
    static constexpr int LastEntry = 255;
    static constexpr int ItemsPerMessage = 10;

    explicit SendHomeRun(int headEnd) : m_headEnd(headEnd) {}

    // One tick: the next message to send ("" when the tick has nothing to send). The tick
    // that passes the last entry finishes the run.
    QByteArray tick();
    bool finished() const { return m_finished; }
    int index() const { return m_index; }
    int headEnd() const { return m_headEnd; }

private:
    int m_headEnd;
    int m_index = 0;
    bool m_finished = false;
};

} // namespace vek
