#include <QTest>

#include "core/consolestate.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/users.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
void setUser(int slot, const QString &name, const QString &password, qint16 privilege)
{
    users().UserName[slot] = name;
    users().UserPass[slot] = password;
    users().UserPrivilege[slot] = privilege;
}

bool anyViewMenuDirty()
{
    for (int v = 1; v <= ViewCount; ++v) {
        if (GridDirty(v, 0))
            return true;
    }
    return false;
}
} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        setUser(1, QStringLiteral("Operator"), QStringLiteral("Pass1"), PrivilegeOperator);
        setUser(2, QStringLiteral("Admin"), QStringLiteral(" padded "), PrivilegeAdmin);
        setUser(3, QStringLiteral("Boss"), QStringLiteral("Boss"), PrivilegeAdmin);
        setUser(4, QStringLiteral("Nobody"), QStringLiteral("x"), PrivilegeNone);
        setUser(5, QStringLiteral("Odd"), QStringLiteral("odd"), 7);
        setUser(6, QStringLiteral("OPERATOR"), QStringLiteral("other"), PrivilegeAdmin);
    }
    void cleanup() { resetConsoleState(); }

    void namesIgnoreCasePasswordsMustMatchExactly()
    {
        TestHome home;
        QCOMPARE(tryLogin(QStringLiteral("  operator "), QStringLiteral("Pass1  ")),
                 LoginOutcome::LoggedIn);
        QCOMPARE(users().CurrentUser, qint16(1)); // the first slot of that name wins
        QCOMPARE(sessionStatus().userPanel, QStringLiteral("User: Operator"));
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges: Operator"));
        QVERIFY(!sessionStatus().settingsEnabled);
        QVERIFY(home.readLog().endsWith(" New User:Operator\r\n"));

        // A refused login leaves the previous user logged in.
        QCOMPARE(tryLogin(QStringLiteral("Boss"), QStringLiteral("boss")), LoginOutcome::Refused);
        QCOMPARE(tryLogin(QStringLiteral("Stranger"), QStringLiteral("Boss")),
                 LoginOutcome::Refused);
        QCOMPARE(users().CurrentUser, qint16(1));
        QCOMPARE(sessionStatus().userPanel, QStringLiteral("User: Operator"));
    }

    void emptyEntriesAreIgnored()
    {
        QCOMPARE(tryLogin(QStringLiteral("   "), QStringLiteral("Pass1")), LoginOutcome::Ignored);
        QCOMPARE(tryLogin(QStringLiteral("Operator"), QString()), LoginOutcome::Ignored);
        // Unused slots have empty names: an empty name never reaches them.
        QCOMPARE(tryLogin(QString(), QString()), LoginOutcome::Ignored);
        QCOMPARE(users().CurrentUser, qint16(0));
        QVERIFY(!anyViewMenuDirty());
    }

    void aStoredPasswordWithBlanksCannotBeMatched()
    {
        QCOMPARE(tryLogin(QStringLiteral("admin"), QStringLiteral(" padded ")),
                 LoginOutcome::Refused);
        QCOMPARE(tryLogin(QStringLiteral("admin"), QStringLiteral("padded")),
                 LoginOutcome::Refused);
    }

    void anAdministratorEnablesSettingsAndLogoutDisablesThem()
    {
        TestHome home;
        QList<SessionStatus> seen;
        setSessionObserver([&](const SessionStatus &s) { seen.append(s); });
        QCOMPARE(tryLogin(QStringLiteral("BOSS"), QStringLiteral("Boss")), LoginOutcome::LoggedIn);
        QCOMPARE(users().CurrentUser, qint16(3));
        QVERIFY(sessionStatus().settingsEnabled);
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges: Administrator"));
        for (int v = 1; v <= ViewCount; ++v)
            QVERIFY(GridDirty(v, 0));

        for (int v = 1; v <= ViewCount; ++v)
            GridDirty(v, 0) = false;
        UserLogOut();
        QCOMPARE(users().CurrentUser, qint16(0));
        QCOMPARE(sessionStatus().userPanel, QStringLiteral("User:"));
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges:"));
        QVERIFY(!sessionStatus().settingsEnabled);
        for (int v = 1; v <= ViewCount; ++v)
            QVERIFY(GridDirty(v, 0));
        QVERIFY(home.readLog().endsWith(" User Logged Out\r\n"));

        QCOMPARE(seen.size(), 2);
        QVERIFY(seen[0].settingsEnabled);
        QVERIFY(!seen[1].settingsEnabled);
    }

    void aPrivilegeOutsideTheKnownOnesGivesNoRights()
    {
        // After an administrator, a user with a damaged privilege must not keep the rights.
        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("Boss")), LoginOutcome::LoggedIn);
        QCOMPARE(tryLogin(QStringLiteral("odd"), QStringLiteral("odd")), LoginOutcome::LoggedIn);
        QCOMPARE(users().CurrentUser, qint16(5));
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges: None"));
        QVERIFY(!sessionStatus().settingsEnabled);

        users().UserPrivilege[5] = -4;
        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("Boss")), LoginOutcome::LoggedIn);
        QCOMPARE(tryLogin(QStringLiteral("odd"), QStringLiteral("odd")), LoginOutcome::LoggedIn);
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges: None"));
        QVERIFY(!sessionStatus().settingsEnabled);

        QCOMPARE(tryLogin(QStringLiteral("nobody"), QStringLiteral("x")), LoginOutcome::LoggedIn);
        QCOMPARE(sessionStatus().privilegePanel, QStringLiteral("Privileges: None"));
    }
};

VEK_TEST(TestLogin)
#include "tst_login.moc"
