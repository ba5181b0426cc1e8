#include "eventview/eventcommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <functional>

#include "core/consolestate.h"
#include "core/convert.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/log.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "dialogs/commandreach.h"
#include "eventview/commandsupport.h"
#include "eventview/eventlists.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/gridview.h"

namespace vek {

namespace {

struct CommandOptions
{
    bool popupFlag = false;
    int msgAnswer = 0;
};

CommandOptions &options()
{
    static CommandOptions o;
    return o;
}

// Reads the popup's request and clears it, so it never outlives the command it started.
bool takePopupFlag()
{
    const bool flag = options().popupFlag;
    options().popupFlag = false;
    return flag;
}

void queueRecord(int headEnd, const EventRec &rec)
{
    WINADD(eventMessage(rec), headEnd);
}

bool vcogLocked()
{
    return settings().VCOGLock;
}

// The head end's present time: its zone clock.
QDateTime zoneClockOf(int headEnd)
{
    const int zone = HETimeZone(headEnd);
    if (zone < 0 || zone >= ZoneCount)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return ZoneTimes()[size_t(zone)];
}

void resetEventCommands()
{
    options() = CommandOptions();
}
[[maybe_unused]] const bool resetEventCommandsRegistered = registerStateReset(&resetEventCommands);

} // namespace

bool &PopupFlag()
{
    return options().popupFlag;
}

int &MsgAnswer()
{
    return options().msgAnswer;
}

// ---------------------------------------------------------------------------------------
// Rows of a list

CommandRow commandRow(const GridView &grid, int row)
{
    // The event and its texts as the last rebuild read them, painted or not; a row that
    // no list made (the empty row) names no event.
    CommandRow r;
    const ListRow listRow = grid.listRow(row);
    auto *source = dynamic_cast<EventRowSource *>(listRow.source);
    if (!source)
        return r;
    r.headEnd = source->headEnd();
    r.slot = source->slotOf(listRow.index);
    r.rowKey = source->cellText(listRow.index, 0);
    r.fullKey = source->fullKey(listRow.index);
    r.groupNo = source->groupNo(listRow.index);
    r.description = source->cellText(listRow.index, DescriptionColumn);
    r.mediaPointId = source->cellText(listRow.index, MediaPointColumn);
    return r;
}

std::vector<CommandRow> selectedRows(const GridView &grid)
{
    // Row and RowSel stay within the list; a list without rows still has a current row,
    // which reads as the empty row.
    const int first = std::max(std::min(grid.row(), grid.rowSel()), 1);
    const int last = std::min(std::max(grid.row(), grid.rowSel()), grid.rows() - 1);
    std::vector<CommandRow> rows;
    rows.reserve(size_t(std::max(last, first) - first + 1));
    for (int r = first; r <= std::max(last, first); ++r)
        rows.push_back(commandRow(grid, r));
    return rows;
}

std::vector<CommandRow> listRows(const GridView &grid)
{
    std::vector<CommandRow> rows;
    rows.reserve(size_t(std::max(grid.rows() - 1, 0)));
    for (int r = 1; r < grid.rows(); ++r)
        rows.push_back(commandRow(grid, r));
    return rows;
}

void selectFirstRow(GridView &grid)
{
    grid.setCol(0);
    grid.setRow(1);
    grid.setColSel(18);
    grid.setRowSel(1);
}

// ---------------------------------------------------------------------------------------
// Shared checks and messages

bool currentUserMayChange()
{
    return currentPrivilege() >= PrivilegeOperator;
}

bool currentUserMayChangeHeadEnd(int headEnd)
{
    const Users &u = users();
    const int user = u.CurrentUser;
    if (user < 1 || user > MaxUsers || !validHeadEnd(headEnd))
        return false;
    return u.UserHEAccess[size_t(user)][size_t(headEnd)];
}

void showPrivilegeMessage(QWidget *parent)
{
    notice(parent, QMessageBox::Critical, "User Privileges",
           "The current user does not have the privileges to change information.");
}

void showHeadEndRightMessage(QWidget *parent, int headEnd)
{
    const QByteArray name = validHeadEnd(headEnd) ? settings().HEName[size_t(headEnd)] : "";
    notice(parent, QMessageBox::Critical, "User Privileges",
           "The current user does not have the privileges to change information on " + name + ".");
}

void showInvalidEventMessage(QWidget *parent)
{
    notice(parent, QMessageBox::Critical, "Event Problem", "This is not a valid event.");
}

void guarded(const char *label, const std::function<void()> &work)
{
    // Head ends the command could not reach are named in one box when it ends.
    const CommandReachScope reach;
    try {
        work();
    } catch (const Failure &f) {
        logError(QByteArray("Error ") + label + ')', f);
    }
}

void notice(QWidget *parent, QMessageBox::Icon icon, const QByteArray &title,
            const QByteArray &text)
{
    DialogSeam::message(parent, icon, fromBytes(title), fromBytes(text), QMessageBox::Ok);
}

bool rowStillValid(QWidget *parent, const CommandRow &row)
{
    if (slotHoldsEvent(row.headEnd, row.slot, row.fullKey))
        return true;
    showInvalidEventMessage(parent);
    return false;
}

bool confirm(QWidget *parent, const QByteArray &title, const QByteArray &text,
             QMessageBox::Icon icon)
{
    const QMessageBox::StandardButton b = DialogSeam::message(
        parent, icon, fromBytes(title), fromBytes(text), QMessageBox::Yes | QMessageBox::No);
    const bool yes = b == QMessageBox::Yes;
    MsgAnswer() = yes ? 6 : 7;
    return yes;
}

RowCheck checkRow(QWidget *parent, const CommandRow &row, InvalidRow onInvalid)
{
    const RowCheck invalid = onInvalid == InvalidRow::Stop ? RowCheck::Stop : RowCheck::Skip;
    if (row.rowKey.isEmpty()) {
        if (onInvalid == InvalidRow::Stop)
            showInvalidEventMessage(parent);
        return invalid;
    }
    // The lists may have been rebuilt since the row was picked: its event may be gone,
    // or its slot may hold another event by now.
    if (!rowStillValid(parent, row))
        return invalid;
    if (!currentUserMayChangeHeadEnd(row.headEnd)) {
        showHeadEndRightMessage(parent, row.headEnd);
        return RowCheck::Stop;
    }
    // Nothing for this row can be queued; the command goes on to the other head ends.
    if (!commandReaches(row.headEnd, parent))
        return RowCheck::Skip;
    return RowCheck::Go;
}

// ---------------------------------------------------------------------------------------
// Delete

void menuEventDel_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    guarded("frmView_menuEventDel_Click", [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab == TabOnAir) {
            if (!confirm(view.parent, "WARNING!!!",
                         "Do you really want to deleted the selected items?  This will NOT "
                         "switch the substitution back to default.  If you want the channel "
                         "back to default, select NO to this message and select DEF NOW from "
                         "the tool bar.  Press yes if you still want to delete this event."))
                return;
        } else if (view.tab == TabUpcoming || view.tab == TabAsRun) {
            if (!confirm(view.parent, "Delete Events",
                         "Do you really want to deleted the selected items?"))
                return;
        } else {
            return;
        }
        const bool admin = currentPrivilege() == PrivilegeAdmin;
        // An operator may not remove what has already aired.
        if (view.tab == TabAsRun && !admin)
            return;
        for (const CommandRow &row : rows) {
            const RowCheck check = checkRow(view.parent, row, InvalidRow::Skip);
            if (check == RowCheck::Stop)
                return;
            if (check == RowCheck::Skip)
                continue;
            EventRec &rec = Events().editLocal(row.headEnd, row.slot);
            if (admin && view.tab != TabOnAir) {
                WINADD(QByteArray(1, '\x0c') + rec.EventKey, row.headEnd);
            } else {
                rec.Status = StatusAbort;
                rec.StatusDetail = "Abort";
                queueRecord(row.headEnd, rec);
            }
        }
    });
}

// ---------------------------------------------------------------------------------------
// Hold

bool menuEventHold_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    bool reset = false;
    guarded("frmView_menuEventHold_Click", [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab != TabUpcoming && view.tab != TabOnAir)
            return;
        for (const CommandRow &row : rows) {
            const RowCheck check = checkRow(view.parent, row, InvalidRow::Stop);
            if (check == RowCheck::Skip)
                continue;
            if (check != RowCheck::Go)
                return;
            EventRec &rec = Events().editLocal(row.headEnd, row.slot);
            if (view.tab == TabUpcoming) {
                if (vcogLocked() && row.headEnd > 0 && rec.Status == StatusLessThan) {
                    notice(view.parent, QMessageBox::NoIcon, "VCOG Locked Event",
                           "This event can no longer be edited as it is less than 30 minutes "
                           "to air.");
                    return;
                }
                if (rec.Status == StatusActive || rec.Status == StatusLessThan) {
                    rec.Status = StatusOnHold;
                    queueRecord(row.headEnd, rec);
                } else if (rec.Status != StatusOnHold) {
                    notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                           "This selected event (" + row.description +
                               ") could not be placed on hold because it has a problem.");
                }
            } else {
                if (vcogLocked()) {
                    notice(view.parent, QMessageBox::NoIcon, "VCOG Locked Event",
                           "This event can no longer be edited as it is on air.");
                    return;
                }
                if (rec.Status == StatusOnAir) {
                    rec.Status = StatusOnHoldOnAir;
                    queueRecord(row.headEnd, rec);
                } else if (rec.Status != StatusOnHoldOnAir) {
                    notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                           "This selected event (" + row.description +
                               ") could not be placed on hold because it has a problem.");
                }
            }
        }
        reset = ResetSelection();
    });
    return reset;
}

// ---------------------------------------------------------------------------------------
// Sub Now / Def. Now

void menuEventSub_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    const bool popup = takePopupFlag();
    guarded("frmView_menuEventSub_Click", [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab == TabUpcoming) {
            if ((!popup || ConfirmPopupSub()) &&
                !confirm(view.parent, "Are You Sure?",
                         "Are you sure you would like to send this channel to SUBSTITUTION?"))
                return;
        } else if (view.tab == TabOnAir) {
            if (!popup && !confirm(view.parent, "Are You Sure?",
                                   "Are you sure you would like to send this channel to "
                                   "DEFAULT?"))
                return;
        } else {
            return;
        }
        for (const CommandRow &row : rows) {
            const RowCheck check = checkRow(view.parent, row, InvalidRow::Stop);
            if (check == RowCheck::Skip)
                continue;
            if (check != RowCheck::Go)
                return;
            EventRec &rec = Events().editLocal(row.headEnd, row.slot);
            bool allowed = false;
            if (view.tab == TabUpcoming) {
                if (vcogLocked() && row.headEnd > 0 && rec.Status == StatusLessThan) {
                    notice(view.parent, QMessageBox::NoIcon, "VCOG Locked Event",
                           "This event can no longer supports sub now as it is less than 30 "
                           "minutes to air.");
                    return;
                }
                allowed = rec.Status == StatusActive || rec.Status == StatusOnHold ||
                          rec.Status == StatusLessThan;
                if (allowed) {
                    if (vcogLocked()) {
                        // In lock mode the event starts now, by its head end's clock.
                        const QDateTime now = zoneClockOf(row.headEnd);
                        const QByteArray start = toBytes(now.time().toString("hh:mm:ss"));
                        const qint64 key = DateTimeKey(now.date(), start);
                        rec.StartTime = start;
                        rec.EventDate = now.date();
                        rec.StartKey = key;
                    }
                    rec.SubNow = true;
                }
            } else {
                if (vcogLocked()) {
                    notice(view.parent, QMessageBox::NoIcon, "VCOG Locked Event",
                           "This event can no longer be edited as it is on air.");
                    return;
                }
                allowed = rec.Status == StatusOnAir || rec.Status == StatusOnHoldOnAir;
                if (allowed)
                    rec.DefNow = true;
            }
            if (allowed) {
                queueRecord(row.headEnd, rec);
            } else {
                notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                       "This selected event (" + rec.Description +
                           ") could not be placed on the air because it has a problem.");
            }
        }
    });
}

void menuPESubNow_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    PopupFlag() = true;
    menuEventSub_Click(view, rows);
}

// ---------------------------------------------------------------------------------------
// Int. / Res.

void menuEventInt_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    const bool popup = takePopupFlag();
    guarded("frmView_menuEventInt_Click", [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab != TabOnAir)
            return;
        if (rows.size() != 1) {
            notice(view.parent, QMessageBox::NoIcon, "Select Only One",
                   "You can only have a single event selected to use this feature.");
            return;
        }
        const CommandRow &row = rows.front();
        if (row.rowKey.isEmpty())
            return;
        if (checkRow(view.parent, row, InvalidRow::Stop) != RowCheck::Go)
            return;
        if (vcogLocked()) {
            notice(view.parent, QMessageBox::NoIcon, "VCOG Locked Event",
                   "This event can no longer be edited as it is on air.");
            return;
        }
        const quint8 interrupted = Events().at(row.headEnd, row.slot).Interrupted;
        if (interrupted > 1)
            return;
        const bool interrupt = interrupted == 0;
        if (!popup) {
            const QByteArray question =
                interrupt ? QByteArray("Are you sure you would like to interupt the selected "
                                       "event and return the channel to it's default source?")
                          : QByteArray("Are you sure you would like to resume the selected "
                                       "event?  This will return the event to it's "
                                       "substituted source.");
            if (!confirm(view.parent, "Are You Sure?", question))
                return;
            if (!rowStillValid(view.parent, row))
                return;
        }
        EventRec &rec = Events().editLocal(row.headEnd, row.slot);
        if (rec.Status != StatusOnAir && rec.Status != StatusOnHoldOnAir) {
            notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                   "This selected event (" + row.description +
                       ") could not be switched because it has a problem.");
            return;
        }
        if (interrupt) {
            // The server keeps the interrupted part as an event of its own.
            EventRec copy = rec;
            copy.EventKey = NewEventKey();
            copy.Interrupted = 1;
            SendHS(row.headEnd, eventMessage(copy), 0);
            rec.DefNow = true;
            SendHS(row.headEnd, eventMessage(rec), 0);
        } else {
            const qint64 key = DateKey(zoneClockOf(row.headEnd));
            rec.Interrupted = 0;
            rec.Status = StatusActive;
            rec.SubNow = true;
            rec.StartKey = key;
            SendHS(row.headEnd, eventMessage(rec), 0);
        }
    });
}

void menuPEIntRes_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    PopupFlag() = true;
    menuEventInt_Click(view, rows);
}

// ---------------------------------------------------------------------------------------
// Active

void menuPEActive_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    guarded("frmView_menuPEActive_Click", [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab != TabUpcoming)
            return;
        for (const CommandRow &row : rows) {
            const RowCheck check = checkRow(view.parent, row, InvalidRow::Stop);
            if (check == RowCheck::Skip)
                continue;
            if (check != RowCheck::Go)
                return;
            EventRec &rec = Events().editLocal(row.headEnd, row.slot);
            if (rec.Status == StatusOnHold) {
                rec.Status = StatusActive;
                queueRecord(row.headEnd, rec);
            } else if (rec.Status != StatusActive && rec.Status != StatusLessThan) {
                notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                       "This selected event (" + row.description +
                           ") could not be made active because it has a problem.");
            }
        }
    });
}

// ---------------------------------------------------------------------------------------
// Copy Media Point ID

QByteArray menuPECopyMediaPoint_Click(const std::vector<CommandRow> &rows)
{
    QByteArray text;
    bool first = true;
    for (const CommandRow &row : rows) {
        if (!first && !text.isEmpty())
            text += "\r\n";
        text += row.mediaPointId;
        first = false;
    }
    if (text.isEmpty())
        return text;
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(fromBytes(text));
    }
    return text;
}

} // namespace vek
