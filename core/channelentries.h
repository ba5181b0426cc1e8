#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace vek {

// One item of a head-end, group or channel list of the event dialogs and the channel
// control: its text, its key ("HE3", "GR0", "CH007") and, for channels, the channel number
// it is sorted by.
struct ComboEntry
{
    QByteArray Text;
    QByteArray Key;
    qint16 Number = 0;

    bool operator==(const ComboEntry &) const = default;
};

// A channel's label: its name, a blank and its number in parentheses.
QByteArray channelLabel(const QByteArray &name, qint16 number);

// The head ends the view shows that are on line, in order ("HE" & n, the head end's name).
QList<ComboEntry> headEndEntries(int view);
// "N/A" and the enabled groups; the Add / Update dialog writes "Group 5", the On-Air
// dialog "Group5".
QList<ComboEntry> groupEntries(bool blankBeforeNumber);

// The destinations of a head end: channels 1..255 that are not hidden, sorted by number,
// without those numbered 0.
QList<ComboEntry> destinationEntries(int headEnd);
// The sources for destination d: channels 1..255 of its router level (and, with the signal
// type check, of its signal type) that are not excluded as sources; sorted, without 0.
QList<ComboEntry> sourceEntries(int headEnd, int destination);

// Ascending by number; entries with equal numbers keep their order.
void sortEntries(QList<ComboEntry> &entries);

// The number after a key's two-letter prefix ("CH007" gives 7); -1 for a key that has none.
int keyNumber(const QByteArray &key);
QByteArray channelKey(int channel);

// The first text that begins with the typed prefix, letter case ignored; -1 for none.
int typeAheadIndex(const QStringList &texts, const QString &prefix);

} // namespace vek
