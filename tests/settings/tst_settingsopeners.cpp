#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "core/consolestate.h"
#include "core/login.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "platform/widgets/dialogseam.h"
#include "settings/frmsetnics.h"
#include "settings/settingsdialog.h"
#include "settings/settingsopeners.h"
#include "settingsfixture.h"
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
    users().UserName[size_t(slot)] = QString::fromLatin1(name);
    users().UserPass[size_t(slot)] = QStringLiteral("pw");
    users().UserPrivilege[size_t(slot)] = privilege;
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
    void init() { resetConsoleState(); }

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

        // The legend and the about box are for everybody.
        main.windowEntry(MenuWindow::ColourLegend)->trigger();
        main.windowEntry(MenuWindow::About)->trigger();
        QCOMPARE(dialogTitles(&main), QStringList({"About", "Colors"}));
        closeDialogs(&main);

        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        QVERIFY(main.menuSettings()->isEnabled());
        QStringList titles;
        for (MenuWindow w : SettingsWindows) {
            QVERIFY(main.windowEntry(w)->isEnabled());
            main.windowEntry(w)->trigger();
            const QStringList open = dialogTitles(&main);
            QCOMPARE(open.size(), 1);
            titles << open.first();
            closeDialogs(&main);
        }
        QCOMPARE(titles,
                 QStringList({"As Run Quick Comments", "Color Settings", "VEK Event View Names",
                              "Head End Settings", "Network Settings", "Quality Control Monitor",
                              "Computer Time Reference", "User Settings"}));
    }

    void theLegendIsOneWindow()
    {
        MDIMain main;
        installSettingsOpeners(&main);
        main.show();
        main.menuWindow_Click(MenuWindow::ColourLegend);
        main.menuWindow_Click(MenuWindow::ColourLegend);
        QCOMPARE(dialogTitles(&main), QStringList({"Colors"}));
        closeDialogs(&main);
    }

    // Opening every settings dialog and saving without a change leaves both files with
    // the same keys and values, values their lists cannot show included.
    void savingWithoutChangesKeepsBothFiles()
    {
        TestHome home;
        loadSettingsWith(home, {{"HeadEnd_3_Settings", "List_Number", "40"},
                                {"HeadEnd_3_Settings", "Nic_Card", "0"},
                                {"HeadEnd_7_Settings", "Number_Of_Channels", "256"},
                                {"HeadEnd_2_Settings", "Long_Name", "A name longer than twenty"},
                                {"Channel_View", "Font", "-1"},
                                {"Color_Settings", "Color_4", "-2147483643"},
                                {"Time_Settings", "Nic_Card", "3"},
                                {"Time_Settings", "Time_Off_Set", "-00:30:00"},
                                {"Time_Settings", "IP_Port", "123456"},
                                {"Event_View_Settings", "Event_View_5", ""},
                                {"Quality_Control", "Destination", "600"},
                                {"Quality_Control", "Device", "0"}});
        addUser(1, "Boss", PrivilegeAdmin);
        addUser(2, " Spaced ", 7);
        users().UserPass[2] = QStringLiteral("old-format-pw");
        users().UserHEAccess[2][5] = true;
        QVERIFY(SaveUsers());
        const auto settingsBefore = iniPairs(home.read(QStringLiteral("VEK.INI")));
        const auto usersBefore = iniPairs(home.read(QStringLiteral("USER.INI")));
        // A fresh console reads both files.
        resetConsoleState();
        LoadSettings();
        LoadUsers();
        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("pw")), LoginOutcome::LoggedIn);

        MDIMain main;
        installSettingsOpeners(&main);
        main.show();
        for (MenuWindow w : SettingsWindows) {
            if (!main.hasWindowOpener(w))
                continue;
            main.menuWindow_Click(w);
            const QList<SettingsDialog *> open = main.findChildren<SettingsDialog *>();
            QCOMPARE(open.size(), 1);
            open.first()->cmdOk_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(iniPairs(home.read(QStringLiteral("VEK.INI"))), settingsBefore);
            QCOMPARE(iniPairs(home.read(QStringLiteral("USER.INI"))), usersBefore);
        }
    }

    // A file that cannot be written (here: too large for the limit) is named with its cause,
    // and the administrator learns that the change lasts only until the console closes.
    void aFailedSaveIsToldToTheAdministrator()
    {
        TestHome home;
        loadSettingsWith(home);
        addUser(1, "Boss", PrivilegeAdmin);
        QVERIFY(SaveUsers());
        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        MDIMain main;
        installSettingsOpeners(&main);
        main.show();
        ScopedDialogHandler boxes;
        QStringList files;
        {
            FileSizeLimit limit(100);
            for (MenuWindow w : SettingsWindows) {
                if (!main.hasWindowOpener(w))
                    continue;
                main.menuWindow_Click(w);
                const QList<SettingsDialog *> open = main.findChildren<SettingsDialog *>();
                QCOMPARE(open.size(), 1);
                open.first()->cmdOk_Click();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                files << (w == MenuWindow::Users ? QStringLiteral("USER.INI")
                                                 : QStringLiteral("VEK.INI"));
            }
        }
        QCOMPARE(boxes.requests().size(), files.size());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const DialogRequest &r = boxes.requests().at(i);
            QCOMPARE(r.icon, QMessageBox::Critical);
            QVERIFY2(r.text.contains(home.path(files.at(i)) + QStringLiteral(" (File too large)")),
                     qPrintable(r.text));
            QVERIFY(r.text.contains(QStringLiteral("holds only until the console closes")));
        }
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
