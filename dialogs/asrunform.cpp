#include "asrunform.h"

#include "commandreach.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/log.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/users.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

namespace {
constexpr int QuickCommentCount = 24;
} // namespace

AsRunState asRunState(const EventRec &record)
{
    AsRunState state;
    if (trimBlanks(record.OpComment).isEmpty()) {
        const int user = users().CurrentUser;
        if (user >= 0 && user <= MaxUsers)
            state.operatorName = users().UserName[static_cast<size_t>(user)];
        return state;
    }
    state.readOnly = true;
    const int user = record.ExtraCode2;
    if (user >= 1 && user <= MaxUsers)
        state.operatorName = users().UserName[static_cast<size_t>(user)];
    return state;
}

QList<QByteArray> quickComments()
{
    QList<QByteArray> out;
    for (int k = 1; k <= QuickCommentCount; ++k) {
        const QByteArray &c = settings().AsRunComment[static_cast<size_t>(k)];
        if (!trimBlanks(c).isEmpty())
            out.append(c);
    }
    return out;
}

bool submitAsRun(const QString &comment, const EventRef &event, QWidget *parent)
{
    const QString &title = EditProblemTitle;
    try {
        if (!event.stillHolds()) {
            refuse(parent, title, NotValidEventText);
            return false;
        }
        QByteArray problem = privilegeProblem();
        if (problem.isEmpty())
            problem = headEndRightProblem(event.headEnd());
        if (!problem.isEmpty()) {
            refuse(parent, title, problem);
            return false;
        }
        if (!commandReaches(event.headEnd(), parent))
            return false;
        EventRec &r = Events().editLocal(event.headEnd(), event.slot());
        r.OpComment = boxText(comment);
        SendHS(event.headEnd(), eventMessage(r), 0);
        return true;
    } catch (const Failure &f) {
        logError("Error frmAsRun_cmdOK_Click)", f);
        return false;
    }
}

} // namespace vek
