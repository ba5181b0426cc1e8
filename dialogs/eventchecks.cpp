#include "eventchecks.h"

#include "core/convert.h"
#include "core/eventtable.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

EventRef EventRef::capture(int headEnd, int slot)
{
    EventRef ref;
    ref.m_headEnd = headEnd;
    ref.m_slot = slot;
    if (validHeadEnd(headEnd) && EventTable::validIndex(headEnd, slot)) {
        const EventRec &r = Events().at(headEnd, slot);
        if (r.InUse) {
            ref.m_key = r.EventKey;
            ref.m_captured = true;
        }
    }
    return ref;
}

bool EventRef::stillHolds() const
{
    if (!m_captured || !EventTable::validIndex(m_headEnd, m_slot))
        return false;
    const EventRec &r = Events().at(m_headEnd, m_slot);
    return r.InUse && r.EventKey == m_key;
}

namespace {
bool validUser(int user)
{
    return user >= 0 && user <= MaxUsers;
}
} // namespace

QByteArray privilegeProblem()
{
    if (currentPrivilege() < PrivilegeOperator)
        return "The current user does not have the privileges to change information.";
    return "";
}

QByteArray headEndRightProblem(int headEnd)
{
    const int user = users().CurrentUser;
    const bool right =
        validUser(user) && validHeadEnd(headEnd) && users().UserHEAccess[user][headEnd];
    if (right)
        return "";
    return "The current user does not have the privileges to change information on " +
           headEndName(headEnd) + ".";
}

namespace {
bool twoDigits(QByteArrayView part)
{
    return part.size() == 2 && part.at(0) >= '0' && part.at(0) <= '9' && part.at(1) >= '0' &&
           part.at(1) <= '9';
}
} // namespace

QByteArray timeProblem(const QByteArray &box, const QByteArray &which)
{
    static const char *names[3] = {"hour", "minute", "second"};
    static const int limits[3] = {23, 59, 59};
    for (int i = 0; i < 3; ++i) {
        const QByteArrayView part = midView(box, i * 3, 2);
        if (!twoDigits(part) || (part.at(0) - '0') * 10 + (part.at(1) - '0') > limits[i])
            return "Invalid " + which + " time (" + names[i] + ").";
    }
    return "";
}

bool isCompleteTime(const QByteArray &box)
{
    if (box.size() != 8 || box.at(2) != ':' || box.at(5) != ':')
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!twoDigits(midView(box, i * 3, 2)))
            return false;
    }
    // Minutes and seconds below 60; any two-digit hour is a duration.
    return box.mid(3, 2).toInt() < 60 && box.mid(6, 2).toInt() < 60;
}

double secondsOfDay(const QByteArray &box)
{
    const TimeParts p = timeParts(box);
    return p.hours * 3600 + p.minutes * 60 + p.seconds;
}

QByteArray dateProblem(const QDate &startDate, const QDate &endDate, const QByteArray &startBox,
                       const QByteArray &endBox)
{
    if (startDate > endDate)
        return "The start date must occur on or before the end date.";
    if (endDate < Clock::today())
        return "The end date can't be before the current date.";
    // An event over midnight ends on the next day; only one day's times are compared.
    if (startDate == endDate && secondsOfDay(endBox) <= secondsOfDay(startBox))
        return "The start time must occur before the end time.";
    return "";
}

bool beforeHeadEndNow(int headEnd, const QDate &date, const QByteArray &time)
{
    const int zone = HETimeZone(headEnd);
    if (zone < 0 || zone >= ZoneCount)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    const QDateTime now = ZoneTimes()[static_cast<size_t>(zone)];
    if (!now.isValid())
        throw Failure(ErrorKind::InvalidCall);
    return DateTimeKey(date, time) < DateKey(now);
}

QByteArray boxText(const QString &text)
{
    QByteArray bytes = toBytes(text);
    for (char &c : bytes) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return trimBlanks(bytes);
}

QByteArray durationToSend(const QByteArray &durationBox, const QByteArray &start,
                          const QByteArray &end)
{
    const QByteArray typed = trimBlanks(durationBox);
    if (isCompleteTime(typed))
        return typed;
    return TimeCalc(end, start, "-", true);
}

QByteArray headEndName(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return "";
    return settings().HEName[static_cast<size_t>(headEnd)];
}

QByteArray viewName(int view)
{
    if (view < 1 || view > MaxViews)
        return "";
    return settings().ViewName[static_cast<size_t>(view)];
}

void refuse(QWidget *parent, const QString &title, const QByteArray &text)
{
    DialogSeam::message(parent, QMessageBox::Critical, title, fromBytes(text), QMessageBox::Ok);
}

} // namespace vek
