#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/startupstate.h"
#include "core/ui/frmalarm.h"
#include "core/ui/frmlogin.h"
#include "core/ui/frmtrouble.h"
#include "core/ui/mdimain.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/keyboardstate.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
// The window manager's close (title-bar X, Alt+F4) as the window receives it.
bool closeByWindowManager(QWidget *w)
{
    QCloseEvent close;
    QApplication::sendEvent(w, &close);
    return close.isAccepted();
}
} // namespace

// The console's own small windows closed every way an operator closes them, and opening
// by themselves while the operator types elsewhere.
class TestClosePaths : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void anAlarmClosedByTheWindowManagerIsAcknowledged()
    {
        TestHome home;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        QList<QPair<int, QByteArray>> sent;
        core.setSender([&](int he, const QByteArray &body, int) { sent.append({he, body}); });
        core.showAlarmWindow(6, "Router 6 failed");
        QPointer<frmALARM> alarm = w.alarmWindows().first();
        QVERIFY(alarm->beeping());
        LastAlarm() = "Router 6 failed";

        QVERIFY(closeByWindowManager(alarm));
        QVERIFY(!alarm->beeping());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].first, 6);
        QVERIFY(sent[0].second.startsWith("dOperator cleared alarm.  Alarm = Router 6 failed"));
        QCOMPARE(LastAlarm(), QByteArray());
        QTRY_VERIFY(alarm == nullptr);
        QVERIFY(home.readLog().contains("Operator cleared alarm.  Alarm = Router 6 failed"));

        // OK acknowledges once, though it closes the window too.
        core.showAlarmWindow(2, "TMX lost");
        w.alarmWindows().first()->cmdOk_Click();
        QCOMPARE(sent.size(), 2);
        QVERIFY(w.alarmWindows().isEmpty());
    }

    void aTroubleWindowClosedByTheWindowManagerStopsBeeping()
    {
        MDIMain w;
        w.showTroubleWindow(3);
        QPointer<frmTrouble> t = w.troubleWindows().first();
        QVERIFY(t->beeping());
        QVERIFY(closeByWindowManager(t));
        QVERIFY(!t->beeping());
        QTRY_VERIFY(t == nullptr);
        QVERIFY(w.troubleWindows().isEmpty());
    }

    void theLoginClosedByTheWindowManagerForgetsTheTyping()
    {
        MDIMain w;
        w.showLogin();
        QPointer<frmLogin> login = w.loginWindow();
        QTest::keyClicks(login->txtName(), QStringLiteral("Operator"));
        QTest::keyClicks(login->txtPass(), QStringLiteral("secret"));
        QVERIFY(closeByWindowManager(login));
        QTRY_VERIFY(login == nullptr);
        w.showLogin();
        QVERIFY(w.loginWindow() != nullptr);
        QCOMPARE(w.loginWindow()->txtName()->text(), QString());
        QCOMPARE(w.loginWindow()->txtPass()->text(), QString());
        QVERIFY(w.loginWindow()->isVisible());
        // Escape is the same close.
        login = w.loginWindow();
        QTest::keyClicks(login->txtName(), QStringLiteral("Operator"));
        QTest::keyClick(login->txtName(), Qt::Key_Escape);
        QTRY_VERIFY(login == nullptr);
        w.showLogin();
        QCOMPARE(w.loginWindow()->txtName()->text(), QString());
    }

    void theLoginShowsItsWholeErrorText()
    {
        MDIMain w;
        w.showLogin();
        frmLogin *login = w.loginWindow();
        QVERIFY(QTest::qWaitForWindowExposed(login));
        QTest::keyClicks(login->txtName(), QStringLiteral("nobody"));
        QTest::keyClicks(login->txtPass(), QStringLiteral("x"));
        login->cmdOK_Click();
        QLabel *error = login->picError();
        QTRY_VERIFY(error->isVisible());
        QCoreApplication::processEvents();
        QVERIFY(error->height() >= error->heightForWidth(error->width()));
        QVERIFY(login->rect().contains(error->geometry()));
    }

    void theKeyboardPanelsFollowTheKeyboard()
    {
        MDIMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("CAPS"));
        QCOMPARE(w.statusPanel(6)->text(), QStringLiteral("NUM"));
        QCOMPARE(w.statusPanel(7)->text(), QStringLiteral("INS"));
        if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
            // On X11 the locks are read from the keyboard.
            const std::optional<KeyboardState::Locks> locks = KeyboardState::locks();
            QVERIFY(locks.has_value());
            QCOMPARE(w.statusPanel(5)->isEnabled(), locks->caps);
            QCOMPARE(w.statusPanel(6)->isEnabled(), locks->num);
        } else {
            // Elsewhere they are unknown and keep their plain texts.
            QVERIFY(!KeyboardState::locks().has_value());
            QVERIFY(w.statusPanel(5)->isEnabled() && w.statusPanel(6)->isEnabled());
        }
        // Insert switches the insert mode; Shift+Insert (paste) does not.
        QVERIFY(w.statusPanel(7)->isEnabled());
        QTest::keyClick(w.windowHandle(), Qt::Key_Insert);
        QTRY_VERIFY(!w.statusPanel(7)->isEnabled());
        QTest::keyClick(w.windowHandle(), Qt::Key_Insert, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QVERIFY(!w.statusPanel(7)->isEnabled());
        QTest::keyClick(w.windowHandle(), Qt::Key_Insert);
        QTRY_VERIFY(w.statusPanel(7)->isEnabled());
    }

    void noticesOpeningByThemselvesLeaveTheOperatorsDialogOpen()
    {
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // A dialog that closes when another window of the console becomes active.
        QPointer<QWidget> dialog = new QWidget(&w, Qt::Dialog);
        auto *typing = new QLineEdit(dialog);
        DeactivationCloser::install(dialog);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClicks(typing, QStringLiteral("half done"));

        core.showAlarmWindow(1, "Router 1 failed");
        w.showTroubleWindow(2);
        frmALARM *alarm = w.alarmWindows().first();
        frmTrouble *trouble = w.troubleWindows().first();
        QVERIFY(alarm->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(trouble->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(alarm->isVisible() && trouble->isVisible());
        // Should the window manager activate one all the same, the dialog stays.
        alarm->activateWindow();
        QTest::qWait(50);
        QCoreApplication::processEvents();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(typing->text(), QStringLiteral("half done"));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));

        // Its own drop-down list is open and the focus goes to the window under the list.
        auto *list = new QComboBox(dialog);
        list->addItems({QStringLiteral("a"), QStringLiteral("b")});
        list->show();
        list->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        w.activateWindow();
        QTest::qWait(50);
        QVERIFY(dialog != nullptr && dialog->isVisible());
        list->hidePopup();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);

        // A message box it raised: the focus goes elsewhere meanwhile, and comes back to
        // where it was in the dialog when the box closes.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        typing->setFocus();
        QTimer::singleShot(0, &w, [&w] {
            w.activateWindow();
            QTimer::singleShot(50, &w, [] {
                if (QWidget *box = QApplication::activeModalWidget())
                    box->close();
            });
        });
        DialogSeam::message(typing, QMessageBox::Warning, QStringLiteral("Event Conflict"),
                            QStringLiteral("conflict"));
        QTRY_COMPARE(QApplication::activeWindow(), dialog.data());
        QTRY_VERIFY(typing->hasFocus());
        QTest::qWait(50);
        QVERIFY(dialog != nullptr && dialog->isVisible());

        // Another window of the console still closes it.
        w.activateWindow();
        QTRY_VERIFY(dialog == nullptr);
    }
};

VEK_TEST(TestClosePaths)
#include "tst_closepaths.moc"
