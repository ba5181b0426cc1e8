#include "eventview/groupcommands.h"

#include <algorithm>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/users.h"
#include "dialogs/commandreach.h"
#include "eventview/commandsupport.h"
#include "eventview/eventlists.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/widgets/gridview.h"

namespace vek {

namespace {

const char *const ToolbarLabel = "frmView_Toolbar1_ButtonCick";

// Group command bodies: the command character and the group number's character.
constexpr char HoldGroup = '[';
constexpr char HoldGroupOnAir = '\\';
constexpr char SubGroup = ']';
constexpr char DefaultGroup = '^';
constexpr char InterruptGroup = '_';
constexpr char ResumeGroup = '`';
constexpr char SubGroupVCOG = 'a';

void sendGroup(int headEnd, char command, quint8 group)
{
    if (!commandReaches(headEnd))
        return;
    QByteArray body(1, command);
    body += static_cast<char>(group);
    SendHS(headEnd, body, 0);
}

enum class Target { Go, Stop, EmptyKey };

// Steps shared by HG, AG and IG once the selection is one row: the row names an event
// the user may change and that belongs to a group.
Target groupTarget(QWidget *parent, const CommandRow &row)
{
    if (row.rowKey.isEmpty())
        return Target::EmptyKey;
    // The row may have been picked before a rebuild of the lists.
    if (!rowStillValid(parent, row))
        return Target::Stop;
    // A group command changes the events of the head end it goes to.
    if (!currentUserMayChangeHeadEnd(row.headEnd)) {
        showHeadEndRightMessage(parent, row.headEnd);
        return Target::Stop;
    }
    if (Events().at(row.headEnd, row.slot).GroupNo == 0) {
        notice(parent, QMessageBox::NoIcon, "Not A Valid Group",
               "The selected event does not belong to a group.");
        return Target::Stop;
    }
    return Target::Go;
}

bool lessThanLocked(const CommandRow &row)
{
    return settings().VCOGLock && row.headEnd > 0 &&
           Events().at(row.headEnd, row.slot).Status == StatusLessThan;
}

void vcogNotice(QWidget *parent, const QByteArray &text)
{
    notice(parent, QMessageBox::NoIcon, "VCOG Locked Event", text);
}

const QByteArray OnlyOneHold =
    "You can only have a single event selected to use the group hold feature.";

} // namespace

GroupList groupList(const GridView &grid)
{
    GroupList list;
    list.rows = listRows(grid);
    list.row = grid.row();
    list.rowSel = grid.rowSel();
    return list;
}

// ---------------------------------------------------------------------------------------
// Group assignment

void menuPOPGROUP_Click(int index, int popupSource, const GroupList &list, QWidget *parent)
{
    if (popupSource != 1 && popupSource != 2)
        return;
    if (index < 0 || index > MaxGroups)
        return;
    guarded("frmView_menuPOPGROUP_Click", [&] {
        const int count = int(list.rows.size());
        const auto rowAt = [&](int r) -> const CommandRow * {
            return r >= 1 && r <= count ? &list.rows[size_t(r - 1)] : nullptr;
        };
        // How many leading characters of the descriptions must agree within a group.
        const int compared = popupSource == 1 ? 6 : 8;
        const QByteArray groupText = GroupText(quint8(index));
        const CommandRow *current = rowAt(list.row);
        const QByteArray currentDescription = current ? current->description : QByteArray();

        const int first = std::min(list.row, list.rowSel);
        const int last = std::max(list.row, list.rowSel);
        for (int r = first; r <= last; ++r) {
            const CommandRow *row = rowAt(r);
            if (!row || row->rowKey.isEmpty())
                continue;
            if (!currentUserMayChange() || !currentUserMayChangeHeadEnd(row->headEnd))
                continue;
            if (!rowStillValid(parent, *row) || !commandReaches(row->headEnd, parent))
                continue;
            if (ResetSelection() && index > 0 &&
                Events().at(row->headEnd, row->slot).EventDate != Clock::today()) {
                notice(parent, QMessageBox::Warning, "Grouping Error",
                       "Grouping is not allowed unless the event will occur today.");
                return;
            }
            if (index > 0) {
                const CommandRow *mismatch = nullptr;
                for (int m = 1; m <= count && !mismatch; ++m) {
                    const CommandRow &member = list.rows[size_t(m - 1)];
                    if (m != list.row && member.groupNo == index &&
                        member.description.left(compared) != currentDescription.left(compared))
                        mismatch = &member;
                }
                if (mismatch) {
                    if (!confirm(parent, "Grouping Error",
                                 "The description of the event you are adding to the group (" +
                                     trimBlanks(currentDescription) +
                                     ") does not match a previous member of the group (" +
                                     trimBlanks(mismatch->description) +
                                     ").  Are you sure you would like to add the selected "
                                     "member to the group?"))
                        return;
                    if (!rowStillValid(parent, *row))
                        continue;
                }
            }
            EventRec &rec = Events().editLocal(row->headEnd, row->slot);
            rec.GroupNo = quint8(index);
            rec.GroupText = groupText;
            WINADD(eventMessage(rec), row->headEnd);
        }
    });
}

// ---------------------------------------------------------------------------------------
// Toolbar group commands

bool groupHold_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    bool reset = false;
    guarded(ToolbarLabel, [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab != TabUpcoming && view.tab != TabOnAir)
            return;
        if (rows.size() != 1) {
            notice(view.parent, QMessageBox::NoIcon, "Select Only One", OnlyOneHold);
            return;
        }
        const CommandRow &row = rows.front();
        const Target target = groupTarget(view.parent, row);
        if (target == Target::EmptyKey) {
            reset = ResetSelection();
            return;
        }
        if (target == Target::Stop)
            return;
        if (view.tab == TabUpcoming) {
            if (lessThanLocked(row)) {
                vcogNotice(view.parent, "This event can no longer be edited as it is less than "
                                        "30 minutes to air.");
                return;
            }
        } else if (settings().VCOGLock) {
            vcogNotice(view.parent, "This event can no longer be edited as it is on air.");
            return;
        }
        sendGroup(row.headEnd, view.tab == TabUpcoming ? HoldGroup : HoldGroupOnAir,
                  Events().at(row.headEnd, row.slot).GroupNo);
        reset = ResetSelection();
    });
    return reset;
}

void groupSub_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    guarded(ToolbarLabel, [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab == TabUpcoming) {
            if (!confirm(view.parent, "Are You Sure?",
                         "Are you sure you would like to SUBSTITUTE the selected group now?"))
                return;
        } else if (view.tab == TabOnAir) {
            if (!confirm(view.parent, "Are You Sure?",
                         "Are you sure you would like to DEFAULT the selected group now?"))
                return;
        } else {
            return;
        }
        if (rows.size() != 1) {
            notice(view.parent, QMessageBox::NoIcon, "Select Only One", OnlyOneHold);
            return;
        }
        const CommandRow &row = rows.front();
        if (groupTarget(view.parent, row) != Target::Go)
            return;
        char command = DefaultGroup;
        if (view.tab == TabUpcoming) {
            if (lessThanLocked(row)) {
                vcogNotice(view.parent, "This event can no longer support sub now as it is less "
                                        "than 30 minutes to air.");
                return;
            }
            command = settings().VCOGLock ? SubGroupVCOG : SubGroup;
        } else if (settings().VCOGLock) {
            vcogNotice(view.parent, "This event can no longer be edited as it is on air.");
            return;
        }
        sendGroup(row.headEnd, command, Events().at(row.headEnd, row.slot).GroupNo);
    });
}

void groupIntRes_Click(const CommandView &view, const std::vector<CommandRow> &rows)
{
    guarded(ToolbarLabel, [&] {
        if (!currentUserMayChange()) {
            showPrivilegeMessage(view.parent);
            return;
        }
        if (view.tab != TabOnAir)
            return;
        if (rows.size() != 1) {
            notice(view.parent, QMessageBox::NoIcon, "Select Only One",
                   "You can only have a single event selected to use the group Interupt / "
                   "Resume feature.");
            return;
        }
        const CommandRow &row = rows.front();
        const Target target = groupTarget(view.parent, row);
        if (target == Target::EmptyKey) {
            notice(view.parent, QMessageBox::NoIcon, "Bad Event!", "No valid event selected.");
            return;
        }
        if (target == Target::Stop)
            return;
        if (settings().VCOGLock) {
            vcogNotice(view.parent, "This event can no longer be edited.");
            return;
        }
        const quint8 interrupted = Events().at(row.headEnd, row.slot).Interrupted;
        if (interrupted > 1)
            return;
        const bool interrupt = interrupted == 0;
        const QByteArray question =
            interrupt ? QByteArray("Are you sure you would like to interupt the selected group "
                                   "events and return the channel to it's default source?")
                      : QByteArray("Are you sure you would like to resume the selected group "
                                   "events?  This will return the events to the substituted "
                                   "source.");
        if (!confirm(view.parent, "Are You Sure?", question))
            return;
        if (!rowStillValid(view.parent, row))
            return;
        const EventRec &rec = Events().at(row.headEnd, row.slot);
        if (rec.Status != StatusOnAir && rec.Status != StatusOnHoldOnAir) {
            notice(view.parent, QMessageBox::NoIcon, "Problem Event",
                   "This selected event (" + row.description +
                       ") could not be switched because it has a problem.");
            return;
        }
        sendGroup(row.headEnd, interrupt ? InterruptGroup : ResumeGroup, rec.GroupNo);
    });
}

} // namespace vek
