#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>

#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "core/selection.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/systemoptions.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "testhome.h"

// Head end 1 "North" on line and shown in view 1 "Main View", user 1 an operator with
// the right on it, and its channels:
//   1 CNN / CNN-SRC   number 10  level 0
//   2 BBC / BBC-SRC   number  5  level 0
//   3 HIDDEN          number  3  level 0, hidden (a source, not a destination)
//   4 UNUSED          number  0  level 0
//   5 BBQ / BBQ-SRC   number  5  level 0 (same number as 2, later index)
//   6 TMX / TMX-SRC   number 20  level 81
//   7 EXCL            number  7  level 0, excluded as a source
// The clock stands at 10:00:00 on 9 December 2026, every zone clock too.
class DialogFixture
{
public:
    DialogFixture() : clock(QDateTime(today(), QTime(10, 0))), scoped(clock)
    {
        vek::resetConsoleState();
        vek::Settings &s = vek::settings();
        s.HEName[1] = "North";
        s.HEName[2] = "South";
        s.HEName[3] = "East";
        for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
            s.HEOnLine[size_t(he)] = false;
            for (int v = 1; v <= vek::MaxViews; ++v)
                s.ShowHE[size_t(v)][size_t(he)] = false;
        }
        s.HEOnLine[1] = true;
        s.HEOnLine[2] = false;
        s.HEOnLine[3] = true;
        s.ShowHE[1][1] = true;
        s.ShowHE[1][2] = true;
        s.ViewName[1] = "Main View";
        s.GroupEnabled.fill(false);
        s.GroupEnabled[2] = true;
        s.GroupEnabled[5] = true;
        vek::Users &u = vek::users();
        for (int i = 1; i <= vek::MaxUsers; ++i)
            u.UserName[size_t(i)] = QStringLiteral("USER%1").arg(i);
        u.UserPrivilege[1] = vek::PrivilegeOperator;
        u.UserHEAccess[1][1] = true;
        u.CurrentUser = 1;
        channel(1, "CNN", 10, 0);
        channel(2, "BBC", 5, 0);
        channel(3, "HIDDEN", 3, 0).ChanHidden = true;
        channel(4, "UNUSED", 0, 0);
        channel(5, "BBQ", 5, 0);
        channel(6, "TMX", 20, 81);
        channel(7, "EXCL", 7, 0).SrcExcluded = true;
        for (QDateTime &z : vek::ZoneTimes())
            z = QDateTime(clock.now().date(), clock.now().time(), Qt::UTC);
    }
    ~DialogFixture() { vek::resetConsoleState(); }

    static QDate today() { return QDate(2026, 12, 9); }

    static vek::ChannelEntry &channel(int ch, const QByteArray &name, qint16 number, quint8 level)
    {
        vek::ChannelEntry &c = vek::Channel(1, ch);
        c.ChanName = name;
        c.ChanDesc = name;
        c.SrcName = name + "-SRC";
        c.ChanNum = number;
        c.ChanLevel = level;
        c.ChanDefSrc = qint16(100 + ch);
        c.ChanCol = qint16(200 + ch);
        c.ChanBackupSrc = qint16(300 + ch);
        return c;
    }

    // An upcoming event of head end 1 in a slot: CNN over BBC-SRC, 12:00 to 13:00 tomorrow.
    static vek::EventRec &event(int slot, const QByteArray &key = "2612081200000000")
    {
        vek::EventRec &e = vek::Events().edit(1, slot);
        e = vek::EventRec();
        e.InUse = true;
        e.EventKey = key;
        e.HeadEnd = 1;
        e.Level = 0;
        e.SrcCh = 2;
        e.DestCh = 1;
        e.SrcInput = 102;
        e.DestOutput = 201;
        e.Status = vek::StatusActive;
        e.GroupNo = 5;
        e.GroupText = "Group 5";
        e.HEText = "North";
        e.EventDate = today().addDays(1);
        e.StartTime = "12:00:00";
        e.EndTime = "13:00:00";
        e.Duration = "01:00:00";
        e.SrcText = "BBC-SRC (5)";
        e.DestText = "CNN (10)";
        e.Description = "Hockey";
        e.Comments = "Home game";
        e.MediaPointID = "MP-77";
        e.StartKey = 2026121043200;
        e.EndKey = 2026121046800;
        e.AddedBy = 7;
        e.Interrupted = 1;
        e.SubNow = true;
        e.ActualStart = "12:00:01";
        return e;
    }

    static void select(int he, int slot, int view = 1)
    {
        vek::SelHE() = qint16(he);
        vek::SelCh() = qint16(slot);
        vek::SelView() = qint16(view);
    }

    // The message bodies handed to SendHS for a head end, oldest first: the one in flight,
    // then the queue (each taken as if acknowledged).
    static QList<QByteArray> sent(int he)
    {
        QList<QByteArray> bodies;
        if (vek::ResendLeft(he) == 0)
            return bodies;
        bodies.append(vek::LastSent(he).mid(4));
        while (vek::sendQueueSize(he) > 0) {
            vek::acknowledgeHS(he, vek::LastSent(he).left(4));
            vek::SendHS(he, QByteArray(), 0);
            bodies.append(vek::LastSent(he).mid(4));
        }
        // All taken: the next message goes out at once.
        vek::acknowledgeHS(he, vek::LastSent(he).left(4));
        return bodies;
    }

    // The one event message sent, read back as a record.
    static vek::EventRec sentRecord(int he)
    {
        const QList<QByteArray> bodies = sent(he);
        if (bodies.size() != 1 || !bodies.first().startsWith('Q'))
            return {};
        return record(bodies.first());
    }

    // An event message read back; the key without the header's padding.
    static vek::EventRec record(const QByteArray &body)
    {
        vek::EventRec r = vek::ParseEvent(body.mid(1));
        r.EventKey = r.EventKey.left(16);
        return r;
    }

    TestHome home;
    vek::ManualClock clock;
    vek::ScopedClock scoped;
};
