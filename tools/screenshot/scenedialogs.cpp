// Pictures of the event dialogs over head end 1 "North", its channels and three of its
// events, the clock standing at 10:00 on 9 December 2026.

#include <QComboBox>

#include "core/channeltable.h"
#include "core/eventtable.h"
#include "core/selection.h"
#include "core/settings.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "pictures.h"
#include "platform/clock.h"
#include "scenes.h"

using namespace vek;

namespace {

const QDate Today(2026, 12, 9);

ChannelEntry &channel(int ch, const QByteArray &name, qint16 number)
{
    ChannelEntry &c = Channel(1, ch);
    c.ChanName = name;
    c.ChanDesc = name;
    c.SrcName = name + "-SRC";
    c.ChanNum = number;
    c.ChanDefSrc = qint16(100 + ch);
    c.ChanCol = qint16(200 + ch);
    c.ChanBackupSrc = qint16(300 + ch);
    return c;
}

// An upcoming event of head end 1: CNN over BBC-SRC, 12:00 to 13:00 tomorrow.
EventRec &event(int slot, const QByteArray &key = "2612081200000000")
{
    EventRec &e = Events().edit(1, slot);
    e = EventRec();
    e.InUse = true;
    e.EventKey = key;
    e.HeadEnd = 1;
    e.SrcCh = 2;
    e.DestCh = 1;
    e.SrcInput = 102;
    e.DestOutput = 201;
    e.Status = StatusActive;
    e.GroupNo = 5;
    e.GroupText = "Group 5";
    e.HEText = "North";
    e.EventDate = Today.addDays(1);
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

// Head end 1 on line in view 1, an operator with the right on it, slot 4 upcoming, slot 3
// on air and slot 6 done; the dialog opens on the event of slot.
class DialogScene
{
public:
    explicit DialogScene(int slot) : m_clock(QDateTime(Today, QTime(10, 0))), m_scoped(m_clock)
    {
        Settings &s = settings();
        s.HEName[1] = "North";
        s.HEName[2] = "South";
        s.HEName[3] = "East";
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            s.HEOnLine[size_t(he)] = he == 1 || he == 3;
            for (int v = 1; v <= MaxViews; ++v)
                s.ShowHE[size_t(v)][size_t(he)] = false;
        }
        s.ShowHE[1][1] = true;
        s.ShowHE[1][2] = true;
        s.ViewName[1] = "Main View";
        s.GroupEnabled.fill(false);
        s.GroupEnabled[2] = true;
        s.GroupEnabled[5] = true;
        s.AsRunComment[1] = "Started late";
        s.AsRunComment[2] = "Signal lost at the head end";
        Users &u = users();
        for (int i = 1; i <= MaxUsers; ++i)
            u.UserName[size_t(i)] = QStringLiteral("USER%1").arg(i);
        u.UserPrivilege[1] = PrivilegeOperator;
        u.UserHEAccess[1][1] = true;
        u.CurrentUser = 1;
        channel(1, "CNN", 10);
        channel(2, "BBC", 5);
        channel(3, "HIDDEN", 3).ChanHidden = true;
        channel(4, "UNUSED", 0);
        channel(5, "BBQ", 5);
        channel(6, "TMX", 20).ChanLevel = 81;
        channel(7, "EXCL", 7).SrcExcluded = true;
        for (QDateTime &z : ZoneTimes())
            z = QDateTime(Today, QTime(10, 0), Qt::UTC);

        event(4).Description = "NHL Hockey: Oilers at Flames";
        EventRec &air = event(3, "2612090900000000");
        air.Status = StatusOnAir;
        air.EventDate = Today;
        air.StartTime = "09:00:00";
        air.EndTime = "11:00:00";
        air.Duration = "02:00:00";
        air.EndKey = 2026120939600;
        EventRec &done = event(6, "2612080800000000");
        done.Status = StatusDone;
        done.ActualStart = "12:00:02";
        done.ActualEnd = "13:00:01";
        done.ActualDur = "00:59:59";

        SelHE() = 1;
        SelCh() = qint16(slot);
        SelView() = 1;
    }

private:
    ManualClock m_clock;
    ScopedClock m_scoped;
};

bool addScene(Pictures &pictures)
{
    DialogScene scene(4);
    return pictures.saveAndDelete(new frmAdd, QStringLiteral("frmadd"));
}
VEK_SCENE("frmadd", addScene)

bool onAirScene(Pictures &pictures)
{
    DialogScene scene(3);
    return pictures.saveAndDelete(new frmOnAir, QStringLiteral("frmonair"));
}
VEK_SCENE("frmonair", onAirScene)

bool asRunScene(Pictures &pictures)
{
    DialogScene scene(6);
    auto *asRun = new frmAsRun;
    asRun->cmbCOM()->setEditText(QStringLiteral("Started late"));
    return pictures.saveAndDelete(asRun, QStringLiteral("frmasrun"));
}
VEK_SCENE("frmasrun", asRunScene)

} // namespace
