#include "addeventform.h"

#include "commandreach.h"
#include "core/channelentries.h"
#include "core/channeltable.h"
#include "core/convert.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/log.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/systemoptions.h"
#include "core/users.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

namespace {

const QByteArray DestinationError =
    "There is an internal error with the destination on this event.  Please close the Add / "
    "Update Event window and try again.";
const QByteArray SourceError = "There is an internal error with the source on this event.  "
                               "Please close the Add / Update Event window and try again.";

bool validChannel(int channel)
{
    return channel >= 0 && channel <= MaxChannel;
}

// The list item must still be the channel table's label: the table may have changed
// since the list was built. No item chosen at all is the same refusal.
QByteArray channelProblem(const AddEventInput &in)
{
    if (!validChannel(in.dest) ||
        in.destText != channelLabel(Channel(in.headEnd, in.dest).ChanDesc,
                                    Channel(in.headEnd, in.dest).ChanNum)) {
        WriteLog(DestinationError + ":" + in.destText);
        return DestinationError;
    }
    if (!validChannel(in.src) || in.srcText != channelLabel(Channel(in.headEnd, in.src).SrcName,
                                                            Channel(in.headEnd, in.src).ChanNum)) {
        WriteLog(SourceError + ":" + in.srcText);
        return SourceError;
    }
    return "";
}

bool answeredYes(QWidget *parent, const QString &title)
{
    return DialogSeam::message(parent, QMessageBox::Question, title,
                               QStringLiteral("This event will go to air immediately.  Do you "
                                              "want to continue?"),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

EventRec buildAddRecord(const AddEventInput &in, const QByteArray &key,
                        const QByteArray &keptMediaPointID)
{
    const int he = in.headEnd;
    const ChannelEntry &d = Channel(he, in.dest);
    const ChannelEntry &s = Channel(he, in.src);
    EventRec r;
    r.InUse = true;
    r.EventKey = key;
    r.HeadEnd = toByte(he);
    r.Level = d.ChanLevel;
    r.SrcInput = s.ChanDefSrc;
    r.DestOutput = d.ChanCol;
    r.SrcCh = toInt16(in.src);
    r.DestCh = toInt16(in.dest);
    r.DestDefSrc = d.ChanDefSrc;
    r.DestBackupSrc = d.ChanBackupSrc;
    r.BackupSrc = in.backupSource;
    r.Status = in.active ? StatusActive : StatusOnHold;
    r.SpareCode = 0;
    r.Interrupted = 0;
    r.ExtraCode1 = 0;
    r.ExtraCode2 = 0;
    r.Automation = toByte(in.automation);
    r.GroupNo = toByte(in.group);
    r.AddedBy = toByte(users().CurrentUser);
    r.SubNow = false;
    r.DefNow = false;
    r.MonitorBeg = in.monitorBeg;
    r.MonitorEnd = in.monitorEnd;
    r.TimeZone = toByte(HETimeZone(he));
    r.HEText = headEndName(he);
    r.GroupText = GroupText(r.GroupNo);
    r.EventDate = in.startDate;
    r.StartTime = trimBlanks(in.startTime);
    r.EndTime = trimBlanks(in.endTime);
    r.SrcText = trimBlanks(in.srcText);
    r.DestText = trimBlanks(in.destText);
    r.Description = trimBlanks(in.description);
    r.StatusDetail = StatusText(r.Status, "");
    r.Duration = durationToSend(in.duration, r.StartTime, r.EndTime);
    r.StartKey = DateTimeKey(r.EventDate, r.StartTime);
    r.EndKey = DateTimeKey(in.endDate, r.EndTime);
    r.Comments = trimBlanks(in.comments);
    r.MediaPointID = settings().GUIDUpdate ? keptMediaPointID : QByteArray();
    return r;
}

bool submitAddEvent(const AddEventInput &in, const AddEventContext &context, QWidget *parent)
{
    const QString &title = AddProblemTitle;
    try {
        if (!context.addMode && !context.event.stillHolds()) {
            refuse(parent, title, NotValidEventText);
            return false;
        }
        QByteArray problem = privilegeProblem();
        if (problem.isEmpty() && in.headEnd == 0)
            problem = "There is no valid head end selected.";
        if (problem.isEmpty())
            problem = headEndRightProblem(in.headEnd);
        if (problem.isEmpty())
            problem = channelProblem(in);
        if (problem.isEmpty())
            problem = timeProblem(in.startTime, "start");
        if (problem.isEmpty())
            problem = timeProblem(in.endTime, "end");
        if (problem.isEmpty())
            problem = dateProblem(in.startDate, in.endDate, in.startTime, in.endTime);
        if (!problem.isEmpty()) {
            refuse(parent, title, problem);
            return false;
        }

        if (in.active && beforeHeadEndNow(in.headEnd, in.startDate, in.startTime)) {
            if (!answeredYes(parent, QStringLiteral("Air Event")))
                return false;
            // The question's event loop may have let the server replace the event.
            if (!context.addMode && !context.event.stillHolds()) {
                refuse(parent, title, NotValidEventText);
                return false;
            }
        }

        if (!context.addMode) {
            // The old destination loses its Channel View marks at once, whatever follows.
            const EventRec &old = Events().at(context.event.headEnd(), context.event.slot());
            if (in.dest != old.DestCh && old.DestCh >= 0 && old.DestCh <= MaxChannel) {
                ChannelEntry &c = Channel(context.event.headEnd(), old.DestCh);
                c.PendingSub = false;
                c.Under30 = false;
            }
        }

        const QByteArray key = context.addMode ? NewEventKey() : context.event.key();
        const EventRec record = buildAddRecord(in, key, context.keptMediaPointID);

        if (ConfirmPopupSub()) {
            const QByteArray conflict = CheckConflict(record);
            if (!conflict.isEmpty()) {
                DialogSeam::message(parent, QMessageBox::NoIcon, QStringLiteral("Event Conflict"),
                                    fromBytes(conflict), QMessageBox::Ok);
                return false;
            }
        }

        if (!commandReaches(in.headEnd, parent))
            return false;
        SendHS(in.headEnd, eventMessage(record), 0);
        return true;
    } catch (const Failure &f) {
        logError("Error frmAdd_cmdOK_Click)", f);
        return false;
    }
}

} // namespace vek
