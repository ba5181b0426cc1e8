#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vek {

constexpr int MaxChannel = 256;
// Record fields are separated by this character code.
constexpr unsigned char ChannelFieldSeparator = 206;

// One entry of a head end's channel table: the fields its channel record carries, then
// the state derived from status texts and events.
struct ChannelEntry
{
    QByteArray ChanName;
    qint16 ChanNum = 0;
    // 0..8 router level, 10..74 digit position of the channel status, 80 + u TMX unit u.
    quint8 ChanLevel = 0;
    qint16 ChanDefSrc = 0;
    QByteArray SrcName;
    qint16 SrcSigType = 0;
    qint16 ChanCol = 0;
    QByteArray ChanDesc;
    qint16 DestSigType = 0;
    qint16 ChanBackupSrc = 0;
    bool ChanHidden = false;
    bool SelectList = false;
    bool SrcExcluded = false;

    QByteArray CurSrcText;
    bool Substituted = false;
    bool OnBackup = false;
    bool PendingSub = false;
    bool Under30 = false;
};

// Entry (head end 0..12, channel 0..256); anything else is a subscript-out-of-range
// Failure.
ChannelEntry &Channel(int headEnd, int channel);

// The head end the Channel View shows (0: none).
qint16 &CVHeadEnd();
// Asks the Channel View to refill when it shows this head end.
void fillChanViewIfShown(int headEnd);

// Stores one channel record into entry (head end, channel). The whole record is checked
// first: a short record, a bad truth value or a number out of its field's range is a
// Failure and stores nothing.
void ParseChannelRecord(int headEnd, int channel, const QByteArray &record);

// Recomputes PendingSub and Under30 of a head end from its events.
void UpdateChannelFlags(int headEnd);

// Sets the backup source of every router entry named name and, with switchNow, sends
// each to it.
void SendToBackup(int headEnd, const QByteArray &name, qint16 source, bool switchNow);

} // namespace vek
