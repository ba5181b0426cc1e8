#include "onairform.h"

#include "commandreach.h"
#include "core/convert.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/log.h"
#include "core/sendpath.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

bool submitOnAir(const OnAirInput &in, const EventRef &event, bool defaultNow, QWidget *parent)
{
    const QString &title = EditProblemTitle;
    try {
        if (!event.stillHolds()) {
            refuse(parent, title, NotValidEventText);
            return false;
        }
        const int he = event.headEnd();
        QByteArray problem = privilegeProblem();
        if (problem.isEmpty())
            problem = headEndRightProblem(he);
        // The start box is shown only; it takes part in the same-day comparison alone.
        if (problem.isEmpty())
            problem = timeProblem(in.endTime, "end");
        if (problem.isEmpty())
            problem = dateProblem(in.startDate, in.endDate, in.startTime, in.endTime);
        if (!problem.isEmpty()) {
            refuse(parent, title, problem);
            return false;
        }

        if (in.active && beforeHeadEndNow(he, in.endDate, in.endTime)) {
            const auto answer = DialogSeam::message(
                parent, QMessageBox::Question, QStringLiteral("Air Event."),
                QStringLiteral("This event will go to air immediately.  Do you want to continue?"),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return false;
            // The question's event loop may have let the server replace the event.
            if (!event.stillHolds()) {
                refuse(parent, title, NotValidEventText);
                return false;
            }
        }

        // Everything that can fail comes before the first write into the record.
        const QByteArray endTime = trimBlanks(in.endTime);
        const qint64 endKey = DateTimeKey(in.endDate, endTime);
        const quint8 group = toByte(in.group);
        const quint8 automation = toByte(in.automation);

        if (!commandReaches(he, parent))
            return false;
        EventRec &r = Events().editLocal(he, event.slot());
        r.BackupSrc = in.backupSource;
        r.Status = in.active ? StatusOnAir : StatusOnHoldOnAir;
        r.GroupNo = group;
        r.Automation = automation;
        r.SubNow = false;
        r.DefNow = false;
        r.MonitorBeg = in.monitorBeg;
        r.MonitorEnd = in.monitorEnd;
        r.GroupText = GroupText(r.GroupNo);
        r.EndTime = endTime;
        r.Description = trimBlanks(in.description);
        r.StatusDetail = StatusText(r.Status, "");
        r.Duration = durationToSend(in.duration, trimBlanks(in.startTime), endTime);
        r.EndKey = endKey;
        r.Comments = trimBlanks(in.comments);
        if (defaultNow)
            r.DefNow = true;

        SendHS(he, eventMessage(r), 0);
        return true;
    } catch (const Failure &f) {
        logError("Error frmOnAir_cmdOK_Click)", f);
        return false;
    }
}

} // namespace vek
