#include "channeltable.h"
#include "moduleresets.h"
#include "settings.h"

#include <QList>
#include <array>
#include <vector>

#include "consoleui.h"
#include "convert.h"
#include "eventtable.h"
#include "linkhost.h"
#include "log.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "receivestate.h"
#include "sendpath.h"
#include "zoneclocks.h"

namespace vek {

namespace {

constexpr int HeadEndRows = 13;
constexpr int MinRecordFields = 12;
constexpr int ExcludedFieldFrom = 17;
constexpr qint64 NoKey = 9000000000000LL;

struct ChannelState
{
    std::vector<ChannelEntry> entries = std::vector<ChannelEntry>(HeadEndRows * (MaxChannel + 1));
    qint16 cvHeadEnd = 0;
};

ChannelState &state()
{
    static ChannelState s;
    return s;
}

qint16 numberField(const QByteArray &field)
{
    return toInt16(leadingValue(field));
}

bool booleanField(const QByteArray &field)
{
    return toBoolean(trimBlanks(field));
}

// Decimal text left-padded with "0" to three characters.
QByteArray pad3(int value)
{
    return QByteArray::number(value).rightJustified(3, '0');
}

} // namespace

ChannelEntry &Channel(int headEnd, int channel)
{
    if (headEnd < 0 || headEnd >= HeadEndRows || channel < 0 || channel > MaxChannel)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return state().entries[static_cast<size_t>(headEnd * (MaxChannel + 1) + channel)];
}

qint16 &CVHeadEnd()
{
    return state().cvHeadEnd;
}

void fillChanViewIfShown(int headEnd)
{
    if (CVHeadEnd() != headEnd)
        return;
    if (LinkHost *host = linkHost()) {
        if (ConsoleUi *ui = host->ui())
            ui->fillChanView(headEnd);
    }
}

void ParseChannelRecord(int headEnd, int channel, const QByteArray &record)
{
    ChannelEntry &target = Channel(headEnd, channel);
    const QList<QByteArray> f = record.split(static_cast<char>(ChannelFieldSeparator));
    if (f.size() < MinRecordFields)
        throw Failure(ErrorKind::SubscriptOutOfRange);

    // Every field is converted before any is stored, so a bad record changes nothing.
    ChannelEntry e = target;
    e.ChanName = trimBlanks(f[0]);
    e.ChanNum = numberField(f[1]);
    e.ChanLevel = toByte(leadingValue(f[2]));
    e.ChanDefSrc = numberField(f[3]);
    e.SrcName = trimBlanks(f[4]);
    e.SrcSigType = numberField(f[5]);
    e.ChanCol = numberField(f[6]);
    e.ChanDesc = trimBlanks(f[7]);
    e.DestSigType = numberField(f[8]);
    e.ChanBackupSrc = numberField(f[9]);
    e.ChanHidden = booleanField(f[10]);
    e.SelectList = booleanField(f[11]);
    if (f.size() >= ExcludedFieldFrom)
        e.SrcExcluded = booleanField(f[15]);
    target = std::move(e);
}

void UpdateChannelFlags(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return;
    // Cleared first: a head end whose present cannot be told shows no stale flags.
    for (int ch = 0; ch <= MaxChannel; ++ch) {
        ChannelEntry &e = Channel(headEnd, ch);
        e.PendingSub = false;
        e.Under30 = false;
    }
    // Both lines below would repeat with every event change the server sends.
    const qint16 zone = HETimeZone(headEnd);
    if (zone < 0 || zone >= ZoneCount) {
        WriteLogLimited("flags without zone" + QByteArray::number(headEnd),
                        "UpdateChannelFlags: head end" + Str(qint64(headEnd)) +
                            " has no valid time zone (" + CStr(qint64(zone)) + "); flags cleared");
        fillChanViewIfShown(headEnd);
        return;
    }
    qint64 now = 0;
    try {
        now = DateKey(ZoneTimes()[static_cast<size_t>(zone)]);
    } catch (const Failure &f) {
        // The zone clocks have not run yet.
        logErrorLimited("flags without clock" + QByteArray::number(headEnd),
                        "Error UpdateChannelFlags)", f);
        fillChanViewIfShown(headEnd);
        return;
    }

    std::array<qint64, MaxChannel + 1> earliest;
    earliest.fill(NoKey);
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &r = Events().at(headEnd, slot);
        if (!r.InUse)
            continue;
        qint64 key = 0;
        switch (r.Status) {
        case StatusProblem:
        case StatusActive:
        case StatusOnHold:
        case StatusLessThan:
            key = r.StartKey;
            break;
        case StatusOnHoldOnAir:
            key = r.EndKey;
            break;
        default:
            continue;
        }
        const int d = r.DestCh;
        if (d < 0 || d > MaxChannel)
            continue;
        if (key >= now && key < earliest[static_cast<size_t>(d)]) {
            earliest[static_cast<size_t>(d)] = key;
            ChannelEntry &e = Channel(headEnd, d);
            e.PendingSub = r.Status == StatusOnHold || r.Status == StatusOnHoldOnAir;
            e.Under30 = r.Status == StatusLessThan;
        }
    }
    fillChanViewIfShown(headEnd);
}

void SendToBackup(int headEnd, const QByteArray &name, qint16 source, bool switchNow)
{
    if (!validHeadEnd(headEnd))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    // A take message carries the input in three digits: a source outside them is stored
    // but switches nothing.
    const bool sendable = source >= 0 && source <= 999;
    // The lines here follow backup automation records, which a server can repeat at will.
    const QByteArray kind = "backup automation" + QByteArray::number(headEnd);
    if (!sendable && switchNow)
        WriteLogLimited(kind + " source", "SendToBackup: backup source" + Str(qint64(source)) +
                                              " for " + name + " of head end" +
                                              Str(qint64(headEnd)) +
                                              " is out of range; nothing switched");
    for (int ch = 1; ch <= MaxChannel; ++ch) {
        ChannelEntry &e = Channel(headEnd, ch);
        if (e.ChanName != name || e.ChanLevel > MaxRouterLevel)
            continue;
        e.ChanBackupSrc = source;
        if (!switchNow || !sendable)
            continue;
        if (e.ChanCol < 0 || e.ChanCol > 999) {
            WriteLogLimited(kind + " output", "SendToBackup: output" + Str(qint64(e.ChanCol)) +
                                                  " of " + name +
                                                  " cannot be sent; nothing switched");
            continue;
        }
        const QByteArray d = "0" + QByteArray::number(e.ChanLevel) + pad3(source) + pad3(e.ChanCol);
        SendHS(headEnd, QByteArray(1, '\x10') + d, 0);
        WriteLogLimited(kind, "ZEL Automation sent channel to backup source.  Details: " + d);
    }
}

void resetChannelTable()
{
    state() = ChannelState();
}

} // namespace vek
