#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include "core/consolestate.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/ui/frmlogin.h"
#include "core/users.h"
#include "platform/widgets/dialogseam.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

class TestLoginWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        users().UserName[2] = QStringLiteral("Operator");
        users().UserPass[2] = QStringLiteral("Pw");
        users().UserPrivilege[2] = PrivilegeOperator;
    }

    void boxesTakeTwentyFiveCharactersAndHideThePassword()
    {
        frmLogin login;
        QTest::keyClicks(login.txtName(), QString(30, QLatin1Char('a')));
        QCOMPARE(login.txtName()->text().size(), 25);
        QTest::keyClicks(login.txtPass(), QString(30, QLatin1Char('p')));
        QCOMPARE(login.txtPass()->text().size(), 25);
        QCOMPARE(login.txtPass()->echoMode(), QLineEdit::Password);
        QCOMPARE(login.txtPass()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                     login.txtPass()),
                 int('*'));
        QCOMPARE(login.cmdOK()->text(), QStringLiteral("OK"));
        QCOMPARE(login.cmdCancel()->text(), QStringLiteral("Cancel"));
    }

    void aWrongPasswordShowsTheErrorForThreeSeconds()
    {
        TestHome home;
        frmLogin login;
        login.show();
        QTest::keyClicks(login.txtName(), QStringLiteral("operator"));
        QTest::keyClicks(login.txtPass(), QStringLiteral("pw"));
        QTest::keyClick(login.txtName(), Qt::Key_Enter);
        QVERIFY(login.picError()->isVisible());
        QCOMPARE(login.picError()->text(),
                 QStringLiteral("Sorry the user name and or password was not correct.  Pease try "
                                "again.  Passwords are case sensitive."));
        QVERIFY(login.errorTimerActive());
        QVERIFY(login.isVisible());
        QCOMPARE(users().CurrentUser, qint16(0));
        login.timeError_Timer();
        QVERIFY(!login.picError()->isVisible());
        QVERIFY(!login.errorTimerActive());

        // Another try in the same window, with the right password.
        login.txtPass()->setText(QStringLiteral("Pw"));
        QTest::mouseClick(login.cmdOK(), Qt::LeftButton);
        QCOMPARE(users().CurrentUser, qint16(2));
        QVERIFY(!login.isVisible());
    }

    void emptyEntriesDoNothing()
    {
        frmLogin login;
        login.show();
        login.txtName()->setText(QStringLiteral("Operator"));
        login.txtPass()->setText(QStringLiteral("   "));
        login.cmdOK_Click();
        QVERIFY(login.isVisible());
        QVERIFY(!login.picError()->isVisible());
    }

    void closesWhenAnotherConsoleWindowIsActivated()
    {
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmLogin> login = new frmLogin(&main);
        login->show();
        login->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(login));

        // Its own message box is not another window.
        {
            ScopedDialogHandler dialogs(DialogSeam::Handler([&](const DialogRequest &) {
                main.activateWindow();
                QTest::qWait(50);
                return DialogAnswer{};
            }));
            DialogSeam::message(login, QMessageBox::Information, QStringLiteral("t"),
                                QStringLiteral("x"));
        }
        QVERIFY(login != nullptr);
        login->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(login));

        // Going to another application leaves no window of ours active: it stays.
        Q_EMIT qGuiApp->focusWindowChanged(nullptr);
        QCoreApplication::processEvents();
        QVERIFY(login != nullptr && login->isVisible());

        main.activateWindow();
        QTRY_VERIFY(login == nullptr);
    }

    void aWindowActivatedBeforeTheLoginEverWasDoesNotCloseIt()
    {
        // At start-up the main window may become active after the login window is shown.
        QWidget main;
        main.show();
        QPointer<frmLogin> login = new frmLogin(&main);
        login->show();
        Q_EMIT qGuiApp->focusWindowChanged(main.windowHandle());
        QCoreApplication::processEvents();
        QVERIFY(login != nullptr && login->isVisible());

        Q_EMIT qGuiApp->focusWindowChanged(login->windowHandle());
        Q_EMIT qGuiApp->focusWindowChanged(main.windowHandle());
        QTRY_VERIFY(login == nullptr);
    }
};

VEK_TEST(TestLoginWindow)
#include "tst_loginwindow.moc"
