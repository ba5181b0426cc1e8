#include <QCheckBox>
#include <QComboBox>

#include "core/consolestate.h"
#include "core/users.h"
#include "settings/frmsetusers.h"
#include "settingsfixture.h"
#include "testregistry.h"

using namespace vek;

namespace {
void addUser(int slot, const QString &name, const QString &password, qint16 privilege)
{
    users().UserName[size_t(slot)] = name;
    users().UserPass[size_t(slot)] = password;
    users().UserPrivilege[size_t(slot)] = privilege;
    users().UserHEAccess[size_t(slot)].fill(true);
}
} // namespace

class TestFrmSetUsers : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void loadsEverySlotAndSavesTheTable()
    {
        TestHome home;
        settings().HEName[4] = "Fourth Hub";
        addUser(1, QStringLiteral("Admin"), QStringLiteral("admin1"), PrivilegeAdmin);
        addUser(2, QStringLiteral("Operator"), QStringLiteral("oper1"), PrivilegeOperator);
        users().UserHEAccess[2][4] = false;
        users().UserPrivilege[3] = PrivilegeNone;
        QPointer<frmSetUsers> d = new frmSetUsers;
        QCOMPARE(d->windowTitle(), QStringLiteral("User Settings"));
        QCOMPARE(d->cmdOK()->text(), QStringLiteral("Apply And Save"));
        QCOMPARE(d->txtName(1)->text(), QStringLiteral("Admin"));
        QCOMPARE(d->txtPW(2)->text(), QStringLiteral("oper1"));
        QCOMPARE(d->txtPW(2)->echoMode(), QLineEdit::Password);
        QCOMPARE(d->cmbPriv(1)->currentText(), QStringLiteral("Administrator"));
        QCOMPARE(d->cmbPriv(2)->currentText(), QStringLiteral("Operator"));
        QCOMPARE(d->cmbPriv(3)->currentText(), QStringLiteral("None"));
        QVERIFY(!d->chkUser(2, 4)->isChecked());
        QVERIFY(d->chkUser(2, 5)->isChecked());
        QCOMPARE(d->chkUser(7, 4)->toolTip(), QStringLiteral("Fourth Hub"));

        d->show();
        d->txtName(3)->clear();
        typeAtEnd(d->txtName(3), QStringLiteral("  Night Shift  "));
        typeAtEnd(d->txtPW(3), QStringLiteral("pw3"));
        d->cmbPriv(3)->setCurrentIndex(1);
        for (int he = 1; he <= MaxHeadEnds; ++he)
            d->chkUser(1, he)->setChecked(false);
        d->chkUser(2, 4)->setChecked(true);
        d->cmdOk_Click();

        QCOMPARE(users().UserName[3], QStringLiteral("Night Shift"));
        QCOMPARE(users().UserPass[3], QStringLiteral("pw3"));
        QCOMPARE(users().UserPrivilege[3], qint16(PrivilegeOperator));
        QVERIFY(users().UserHEAccess[2][4]);
        for (int he = 1; he <= MaxHeadEnds; ++he)
            QVERIFY(!users().UserHEAccess[1][size_t(he)]);
        // What was saved is what a fresh start reads.
        resetConsoleState();
        LoadUsers();
        QCOMPARE(users().UserName[3], QStringLiteral("Night Shift"));
        QCOMPARE(users().UserPrivilege[1], qint16(PrivilegeAdmin));
        QVERIFY(!users().UserHEAccess[1][12]);
        QTRY_VERIFY(d == nullptr);
    }

    void storedLoginsSurviveOpeningAndSaving()
    {
        TestHome home;
        // A password of the old format may be longer than this dialog lets anyone type, a
        // privilege may be outside the list, and a stored blank is part of a password.
        addUser(1, QStringLiteral("Admin"), QStringLiteral("twelve-chars"), PrivilegeAdmin);
        addUser(2, QStringLiteral("Odd"), QStringLiteral(" spaced "), 7);
        addUser(3, QStringLiteral("Zero"), QStringLiteral("z"), 0);
        users().UserHEAccess[3][9] = false;
        QVERIFY(SaveUsers());
        const auto before = iniPairs(home.read(QStringLiteral("USER.INI")));
        resetConsoleState();
        LoadUsers();

        QPointer<frmSetUsers> d = new frmSetUsers;
        QCOMPARE(d->txtPW(1)->text(), QStringLiteral("twelve-chars"));
        QCOMPARE(d->cmbPriv(2)->currentIndex(), -1);
        QCOMPARE(d->cmbPriv(3)->currentIndex(), -1);
        // Every later slot loaded all the same.
        QCOMPARE(d->txtName(3)->text(), QStringLiteral("Zero"));
        QVERIFY(!d->chkUser(3, 9)->isChecked());
        d->show();
        // Typing stops at ten characters, but the longer stored one stays whole.
        d->txtPW(4)->clear();
        typeAtEnd(d->txtPW(4), QStringLiteral("abcdefghijk"));
        QCOMPARE(d->txtPW(4)->text(), QStringLiteral("abcdefghij"));
        d->txtPW(4)->clear();
        typeAtEnd(d->txtName(5), QString(26, QLatin1Char('n')));
        QCOMPARE(d->txtName(5)->text().size(), 25);
        d->txtName(5)->clear();
        d->cmdOk_Click();

        QCOMPARE(users().UserPass[1], QStringLiteral("twelve-chars"));
        QCOMPARE(users().UserPass[2], QStringLiteral(" spaced "));
        QCOMPARE(users().UserPrivilege[2], qint16(7));
        QCOMPARE(iniPairs(home.read(QStringLiteral("USER.INI"))), before);
    }

    void anotherConsoleWindowDiscardsTheEdits()
    {
        TestHome home;
        addUser(1, QStringLiteral("Admin"), QStringLiteral("pw"), PrivilegeAdmin);
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmSetUsers> d = new frmSetUsers(&main);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        d->cmbPriv(1)->setCurrentIndex(0);
        d->txtName(1)->setText(QStringLiteral("Other"));
        main.activateWindow();
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(users().UserName[1], QStringLiteral("Admin"));
        QCOMPARE(users().UserPrivilege[1], qint16(PrivilegeAdmin));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("USER.INI"))));
    }
};

VEK_TEST(TestFrmSetUsers)
#include "tst_frmsetusers.moc"
