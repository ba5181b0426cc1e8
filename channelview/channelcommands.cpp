#include "channelcommands.h"

#include "core/channeltable.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/systemoptions.h"
#include "core/users.h"
#include "platform/text.h"

namespace vek {

namespace {

const QString NoPrivilege =
    QStringLiteral("The current user does not have the privileges to change information.");

QString noRightOn(int headEnd)
{
    return QStringLiteral(
               "The current user does not have the privileges to change information on ") +
           fromBytes(settings().HEName[size_t(headEnd)]) + QLatin1Char('.');
}

bool currentUserHasRight(int headEnd)
{
    const Users &u = users();
    return u.CurrentUser >= 1 && u.CurrentUser <= MaxUsers && validHeadEnd(headEnd) &&
           u.UserHEAccess[size_t(u.CurrentUser)][size_t(headEnd)];
}

} // namespace

QByteArray levelDigits(int level)
{
    return QByteArray::number(level).rightJustified(2, '0');
}

QByteArray inputDigits(int value)
{
    return QByteArray::number(value).rightJustified(3, '0');
}

QByteArray qcMonitorTake(int headEnd, int ch, bool sourceColumn)
{
    const Settings &s = settings();
    if (!validHeadEnd(headEnd) || ch < 1 || ch > MaxChannel)
        return {};
    // An unset monitor is no monitor.
    if (s.QCDevice <= 0 || s.QCDestination <= 0 || s.QCDevice > MaxRouterLevel)
        return {};
    const ChannelEntry &c = Channel(headEnd, ch);
    if (c.ChanLevel != s.QCDevice)
        return {};
    int input = c.ChanDefSrc;
    if (sourceColumn) {
        // Read in the form the status was stored: a plain status read as extended would
        // switch the monitor to a wrong input.
        const QByteArray &status = RTRBuffer(headEnd, s.QCDevice);
        const StatusForm form = RTRForm(headEnd, s.QCDevice);
        const qsizetype o = c.ChanCol;
        if (form == StatusForm::Plain) {
            if (o < 1 || o > status.size())
                return {};
            input = static_cast<unsigned char>(status[o - 1]);
        } else if (form == StatusForm::Extended) {
            if (o < 1 || 2 * o > status.size())
                return {};
            input = static_cast<unsigned char>(status[2 * o - 2]) * 256 +
                    static_cast<unsigned char>(status[2 * o - 1]);
        } else {
            return {};
        }
    }
    return QByteArray(1, '\x10') + "0" + QByteArray::number(s.QCDevice) + inputDigits(input) +
           inputDigits(s.QCDestination);
}

QString channelCommandRefusal(int headEnd)
{
    if (currentPrivilege() < PrivilegeOperator)
        return NoPrivilege;
    const Settings &s = settings();
    if (!validHeadEnd(headEnd) || !s.HEOnLine[size_t(headEnd)])
        return QStringLiteral("This headednd (") +
               fromBytes(validHeadEnd(headEnd) ? s.HEName[size_t(headEnd)] : QByteArray()) +
               QStringLiteral(") is currently off-line.  No change will take place.");
    if (!currentUserHasRight(headEnd))
        return noRightOn(headEnd);
    return {};
}

QList<ComboEntry> controlSourceEntries(int headEnd, int ch)
{
    QList<ComboEntry> entries = sourceEntries(headEnd, ch);
    if (ResetSelection()) {
        entries.removeIf([headEnd](const ComboEntry &e) {
            const int s = keyNumber(e.Key);
            return s < 0 || s > MaxChannel || !Channel(headEnd, s).ChanHidden;
        });
    }
    return entries;
}

QString adminRefusal(int headEnd, bool needsHeadEnd)
{
    if (currentPrivilege() < PrivilegeAdmin)
        return NoPrivilege;
    if (!needsHeadEnd)
        return {};
    if (!validHeadEnd(headEnd))
        return QStringLiteral("There is no valid head end selected.");
    if (!currentUserHasRight(headEnd))
        return noRightOn(headEnd);
    return {};
}

QByteArray SendHomeRun::tick()
{
    QByteArray message(1, '\x11');
    int count = 0;
    while (!m_finished) {
        if (++m_index > LastEntry) {
            m_finished = true;
            break;
        }
        const ChannelEntry &c = Channel(m_headEnd, m_index);
        if (c.ChanHidden)
            continue;
        message +=
            '/' + levelDigits(c.ChanLevel) + inputDigits(c.ChanDefSrc) + inputDigits(c.ChanCol);
        if (++count == ItemsPerMessage)
            return message;
    }
    return count > 0 ? message : QByteArray();
}

} // namespace vek
