#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "core/login.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "settings/frmsetnics.h"
#include "settings/settingsopeners.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
// The visible windows of the program other than the main window, by title.
QStringList dialogTitles(const QWidget *main)
{
    QStringList out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != main && w->isVisible() && w->isWindow())
            out << w->windowTitle();
    }
    out.sort();
    return out;
}

void closeDialogs(const QWidget *main)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != main && w->isVisible()) {
            w->close();
            w->deleteLater();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void addUser(int slot, const char *name, qint16 privilege)
{
    users().UserName[slot] = QString::fromLatin1(name);
    users().UserPass[slot] = QStringLiteral("pw");
    users().UserPrivilege[slot] = privilege;
}

const MenuWindow SettingsWindows[] = {MenuWindow::AsRunComments, MenuWindow::ColourSettings,
                                      MenuWindow::ViewNames,     MenuWindow::HeadEnds,
                                      MenuWindow::NetworkCards,  MenuWindow::QualityControl,
                                      MenuWindow::TimeReference, MenuWindow::Users};
} // namespace

class TestSettingsOpeners : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSettings();
        resetUsers();
        resetSession();
    }

    void onlyAnAdministratorOpensTheSettingsDialogs()
    {
        TestHome home;
        MDIMain main;
        installSettingsOpeners(&main);
        main.show();
        addUser(1, "Op", PrivilegeOperator);
        addUser(2, "Boss", PrivilegeAdmin);

        QCOMPARE(tryLogin(QStringLiteral("op"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        QVERIFY(!main.menuSettings()->isEnabled());
        for (MenuWindow w : SettingsWindows)
            main.menuWindow_Click(w);
        QCOMPARE(dialogTitles(&main), QStringList());

        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        QVERIFY(main.menuSettings()->isEnabled());
        settings().HouseNic = "10.20.30.40";
        main.windowEntry(MenuWindow::NetworkCards)->trigger();
        QCOMPARE(dialogTitles(&main), QStringList({"Network Settings"}));
        closeDialogs(&main);
    }

    void startUpOpensTheNetworkCardsForNobody()
    {
        MDIMain main;
        installSettingsOpeners(&main);
        settings().BroadcastNic = "192.0.2.1";
        main.openNetworkCards();
        QList<frmSetNics *> nics = main.findChildren<frmSetNics *>();
        QCOMPARE(nics.size(), 1);
        QCOMPARE(nics.first()->txtIP(0)->text(), QStringLiteral("192.0.2.1"));
        nics.first()->cmdCancel_Click();
    }
};

VEK_TEST(TestSettingsOpeners)
#include "tst_settingsopeners.moc"
