#include "login.h"
#include "moduleresets.h"

#include "log.h"
#include "platform/text.h"
#include "receivestate.h"
#include "users.h"

namespace vek {

namespace {
struct Session
{
    SessionStatus status;
    std::function<void(const SessionStatus &)> observer;
};

Session &session()
{
    static Session s;
    return s;
}

void publish()
{
    if (session().observer)
        session().observer(session().status);
}

// The Event Views refresh their menus for the new user.
void markViewMenusDirty()
{
    for (int v = 1; v <= ViewCount; ++v)
        GridDirty(v, 0) = true;
}
} // namespace

const SessionStatus &sessionStatus()
{
    return session().status;
}

void setSessionObserver(std::function<void(const SessionStatus &)> observer)
{
    session().observer = std::move(observer);
}

void resetSession()
{
    session() = Session();
    users().CurrentUser = 0;
}

LoginOutcome tryLogin(const QString &typedName, const QString &typedPassword)
{
    const QString name = trimBlanks(typedName);
    const QString password = trimBlanks(typedPassword);
    if (name.isEmpty() || password.isEmpty())
        return LoginOutcome::Ignored;

    Users &u = users();
    const QString wanted = name.toUpper();
    int slot = 0;
    for (int i = 1; i <= MaxUsers; ++i) {
        if (u.UserName[i].toUpper() == wanted) {
            slot = i;
            break;
        }
    }
    if (slot == 0 || u.UserPass[slot] != password)
        return LoginOutcome::Refused;

    u.CurrentUser = qint16(slot);
    SessionStatus &s = session().status;
    s.userPanel = QStringLiteral("User: ") + u.UserName[slot];
    // Any privilege other than operator or administrator gets no rights, so a user with a
    // damaged privilege never keeps the previous user's.
    switch (normalisedPrivilege(u.UserPrivilege[slot])) {
    case PrivilegeAdmin:
        s.privilegePanel = QStringLiteral("Privileges: Administrator");
        s.settingsEnabled = true;
        break;
    case PrivilegeOperator:
        s.privilegePanel = QStringLiteral("Privileges: Operator");
        s.settingsEnabled = false;
        break;
    default:
        s.privilegePanel = QStringLiteral("Privileges: None");
        s.settingsEnabled = false;
        break;
    }
    markViewMenusDirty();
    WriteLog("New User:" + toBytes(u.UserName[slot]));
    publish();
    return LoginOutcome::LoggedIn;
}

void UserLogOut()
{
    users().CurrentUser = 0;
    SessionStatus &s = session().status;
    s.userPanel = QStringLiteral("User:");
    s.privilegePanel = QStringLiteral("Privileges:");
    s.settingsEnabled = false;
    markViewMenusDirty();
    WriteLog("User Logged Out");
    publish();
}

} // namespace vek
