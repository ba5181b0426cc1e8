#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <deque>
#include <functional>
#include <memory>

#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "eventview/eventcommands.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"
#include "testhome.h"

// A console with two users and events for the command tests; the clock stands at
// 10:00:00 on 9 December 2026 and every zone clock at 10:20:30 the same day.
namespace cmdfixture {

constexpr int Operator = 1;
constexpr int Admin = 2;
constexpr int NoRights = 3;

// Answers the dialogs: questions take the queued answers (Yes when none is left), and a
// hook runs while a question is open (the lists' timers would run then).
class Dialogs
{
public:
    Dialogs()
        : m_handler(std::make_unique<vek::ScopedDialogHandler>([this](const auto &r) {
              vek::DialogAnswer a;
              if (r.buttons & QMessageBox::Yes) {
                  if (whileAsking)
                      whileAsking(r);
                  a.button = QMessageBox::Yes;
                  if (!answers.empty()) {
                      a.button = answers.front();
                      answers.pop_front();
                  }
              }
              return a;
          }))
    {}
    const QList<vek::DialogRequest> &requests() const { return m_handler->requests(); }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &r : requests())
            t << r.text;
        return t;
    }
    QStringList titles() const
    {
        QStringList t;
        for (const auto &r : requests())
            t << r.title;
        return t;
    }

    std::deque<QMessageBox::StandardButton> answers;
    std::function<void(const vek::DialogRequest &)> whileAsking;

private:
    std::unique_ptr<vek::ScopedDialogHandler> m_handler;
};

class CommandFixture
{
public:
    CommandFixture() : clock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))), scoped(clock)
    {
        vek::resetConsoleState();
        vek::Settings &s = vek::settings();
        for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
            s.HEName[size_t(he)] = "Head End " + QByteArray::number(he) + " Long";
            s.HEListNo[size_t(he)] = qint16(he);
        }
        for (QDateTime &z : vek::ZoneTimes())
            z = QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30), Qt::UTC);
        vek::Users &u = vek::users();
        u.UserPrivilege[Operator] = vek::PrivilegeOperator;
        u.UserPrivilege[Admin] = vek::PrivilegeAdmin;
        u.UserPrivilege[NoRights] = vek::PrivilegeNone;
        for (int user : {Operator, Admin, NoRights}) {
            u.UserHEAccess[size_t(user)][1] = true;
            u.UserHEAccess[size_t(user)][2] = true;
        }
        u.CurrentUser = Operator;
    }
    ~CommandFixture() { vek::resetConsoleState(); }

    TestHome home;
    vek::ManualClock clock;
    vek::ScopedClock scoped;
};

// An event in a slot with a 32-character key and a description of its own.
inline vek::EventRec &addEvent(int he, int slot, quint8 status,
                               const QByteArray &description = QByteArray())
{
    vek::EventRec &e = vek::Events().edit(he, slot);
    e = vek::EventRec();
    e.InUse = true;
    e.HeadEnd = quint8(he);
    e.Status = status;
    e.EventDate = QDate(2026, 12, 9);
    e.StartTime = "11:00:00";
    e.EndTime = "11:30:00";
    e.Duration = "00:30:00";
    e.StartKey = 2026120939600;
    e.EndKey = 2026120941400;
    e.EventKey =
        "261209" + vek::zeroPadded(he, 2) + vek::zeroPadded(slot, 4) + "0000ABCDEFGHIJKLMNOP";
    e.MediaPointID = e.EventKey.left(16);
    e.Description = description.isEmpty()
                        ? "Event " + QByteArray::number(he) + "-" + QByteArray::number(slot)
                        : description;
    e.GroupText = vek::GroupText(0);
    e.StatusDetail = vek::StatusText(status, "");
    return e;
}

// The list row that shows a slot's event now.
inline vek::CommandRow rowOf(int he, int slot)
{
    const vek::EventRec &e = vek::Events().at(he, slot);
    vek::CommandRow r;
    r.rowKey = vek::makeRowKey(he, slot);
    r.headEnd = he;
    r.slot = slot;
    r.fullKey = e.EventKey;
    r.groupNo = e.GroupNo;
    r.description = e.Description;
    r.mediaPointId = e.EventKey.left(16);
    return r;
}

// The list's empty row.
inline vek::CommandRow blankRow()
{
    return vek::CommandRow();
}

inline QByteArray expectedEventMessage(const vek::EventRec &rec)
{
    return "Q" + vek::EventToString(rec);
}

// What the WIN queue holds for a head end, taken out of it.
inline QList<QByteArray> winBodies(int he)
{
    QList<QByteArray> out;
    for (QByteArray m = vek::WINGET(he); !m.isEmpty(); m = vek::WINGET(he))
        out << m;
    return out;
}

// The bodies handed to SendHS for a head end since the last call, in order: the one in
// flight, then each queued one after acknowledging the one before.
inline QList<QByteArray> sentBodies(int he)
{
    QList<QByteArray> out;
    if (vek::ResendLeft(he) == 0)
        return out;
    out << vek::LastSent(he).mid(4);
    while (vek::sendQueueSize(he) > 0) {
        vek::acknowledgeHS(he, vek::LastSent(he).left(4));
        vek::SendHS(he, QByteArray(), 0);
        out << vek::LastSent(he).mid(4);
    }
    // The last one is acknowledged too, so the next command's messages go out at once.
    vek::acknowledgeHS(he, vek::LastSent(he).left(4));
    return out;
}

inline QByteArray chr(int code)
{
    return QByteArray(1, static_cast<char>(code));
}

} // namespace cmdfixture
