#pragma once

#include <QString>
#include <functional>

namespace vek {

// What a login sets on the main window: status-bar panels 3 and 4 and the Settings menu.
struct SessionStatus
{
    QString userPanel = QStringLiteral("User:");
    QString privilegePanel = QStringLiteral("Privileges:");
    bool settingsEnabled = false;
};

const SessionStatus &sessionStatus();
// Called after every login and logout, so the main window shows the new status.
void setSessionObserver(std::function<void(const SessionStatus &)> observer);

enum class LoginOutcome {
    Ignored,  // name or password empty: nothing happens
    Refused,  // no such name or wrong password: the error picture shows
    LoggedIn, // CurrentUser set; the login window closes
};

// The typed name and password of the login window. Names match without regard to case,
// the typed password (trimmed) must equal the stored one exactly.
LoginOutcome tryLogin(const QString &typedName, const QString &typedPassword);

// Ends the current user's login.
void UserLogOut();

} // namespace vek
