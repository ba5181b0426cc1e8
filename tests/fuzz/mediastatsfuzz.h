#pragma once

// Shared by the media-stats readers' targets: any bytes read into rows or fail with a
// Failure; rows stay within the table's limit and hold no control characters; and the
// rows convert into messages that parse back as events.

#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "fuzzsupport.h"
#include "mediastats/mediastatsfile.h"
#include "mediastats/mediastatsimport.h"
#include "platform/failure.h"

namespace vekfuzz {

inline bool cleanText(const QByteArray &text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127)
            return false;
    }
    return true;
}

inline void setUpConsole()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    vek::resetConsoleState();
    vek::HETimeZone(1) = 4;
    for (QDateTime &z : vek::ZoneTimes())
        z = QDateTime(QDate(2024, 3, 5), QTime(10, 0), Qt::UTC);
    const char *const names[] = {"LOCAL1", "ESPN", "SUB1"};
    for (int ch = 1; ch <= 3; ++ch) {
        vek::ChannelEntry &c = vek::Channel(1, ch);
        c.ChanName = names[ch - 1];
        c.ChanNum = qint16(100 + ch);
        c.ChanLevel = 1;
    }
}

inline int readAndConvert(vek::MediaStatsFormat format, const uint8_t *data, size_t size)
{
    setUp();
    setUpConsole();
    vek::MediaStatsImport run;
    run.LoadOldEvents = true;
    try {
        vek::readMediaStatsBytes(format, bytes(data, size), run.MSRows);
    } catch (const vek::Failure &) {
        return 0;
    }
    require(run.MSRows.count() <= vek::MSRowTable::MaxRows, "rows within the limit");
    for (int r = 1; r <= run.MSRows.count(); ++r) {
        const vek::MediaStatsRec &row = run.MSRows.row(r);
        for (const QByteArray *t : {&row.AirDate, &row.StartTime, &row.EndTime, &row.Description,
                                    &row.SrcName, &row.DestName, &row.CONumber, &row.Comments,
                                    &row.MediaPointID, &row.Action, &row.MonBegMark})
            require(cleanText(*t), "no control character in a row");
    }
    if (run.MSRows.count() == 0)
        return 0;
    // Head end 1 takes the first row's C.O. number, so rows are converted.
    vek::settings().HEMediaStatsCO[1] = run.MSRows.row(1).CONumber;
    vek::HeadEndSet one{};
    one[1] = true;
    try {
        run.convertRows(one);
    } catch (const vek::Failure &) {
        // Keys that would read back alike: refused before anything is queued.
        require(vek::winQueueSize(1) == 0, "a refused file queues nothing");
    }
    for (QByteArray m = vek::WINGET(1); !m.isEmpty(); m = vek::WINGET(1)) {
        if (m.startsWith('\x0c'))
            continue;
        require(m.startsWith('Q'), "a message is an event or a deletion");
        try {
            (void)vek::ParseEvent(m.mid(1));
        } catch (const vek::Failure &) {
            require(false, "a queued event parses");
        }
    }
    return 0;
}

} // namespace vekfuzz
