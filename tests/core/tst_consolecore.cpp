#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <QUdpSocket>

#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/hslink.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/startupstate.h"
#include "core/timelink.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "platform/clock.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
// Records what start-up asks of the windows, one line per call, in order.
class RecordingWindows : public ConsoleWindows
{
public:
    QStringList calls;
    QString caption;
    QString messageTitle;
    QString messageText;
    QString clockTime;
    QString clockDate;
    QStringList viewCaptions = QStringList(9, QString());

    void setCaption(const QString &c) override
    {
        caption = c;
        calls << QStringLiteral("caption");
    }
    void showBackupLook() override { calls << QStringLiteral("backup"); }
    void setViewMenuCaption(int view, const QString &c) override { viewCaptions[view] = c; }
    void showCriticalMessage(const QString &title, const QString &text) override
    {
        messageTitle = title;
        messageText = text;
        calls << QStringLiteral("message");
    }
    void openNetworkCards() override { calls << QStringLiteral("nics"); }
    void openEventView(int view) override { calls << QStringLiteral("view%1").arg(view); }
    void showLogin() override { calls << QStringLiteral("login"); }
    void setClockPanels(const QString &time, const QString &date) override
    {
        clockTime = time;
        clockDate = date;
    }
    void endProgram() override { calls << QStringLiteral("end"); }
    void showTroubleWindow(int headEnd) override
    {
        calls << QStringLiteral("trouble%1").arg(headEnd);
    }
    void showAlarmWindow(int headEnd, const QByteArray &) override
    {
        calls << QStringLiteral("alarm%1").arg(headEnd);
    }
    void fillChanView(int) override {}
};

const QString NetworkText = QStringLiteral(
    "Please verify that there is a good network connection in place on both the broadcast and "
    "house networks.  Please check the VEK.INI file for correct settings on both IP addresses.");

// A users file of the current format with one administrator.
void writeUsers()
{
    resetConsoleState();
    users().UserName[1] = QStringLiteral("Admin");
    users().UserPass[1] = QStringLiteral("secret");
    users().UserPrivilege[1] = 3;
    QVERIFY(SaveUsers());
    resetConsoleState();
}

// A time port nobody uses, so the bind of step 13 does not meet another test's socket.
QByteArray freeTimeSettings(const QByteArray &broadcastNic = "127.0.0.1")
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort() - 1;
    return "[Time_Settings]\r\nIP_Port=" + QByteArray::number(port) +
           "\r\nNic_Card=1\r\n[Nic_Card_Settings]\r\nBroadcast_Nic=" + broadcastNic + "\r\n";
}
} // namespace

class TestConsoleCore : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void startsUpInOrder()
    {
        TestHome home;
        writeUsers();
        home.write(QStringLiteral("VEK.INI"), freeTimeSettings());
        ManualClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7)));
        ScopedClock scope(clock);
        RecordingWindows w;
        ConsoleCore core(&w);
        core.MDIForm_Load(QString());

        QCOMPARE(w.calls, QStringList({"caption", "view1", "login"}));
        QVERIFY(!core.startupFailed());
        // One blank after "Version", none inside the numbers.
        QCOMPARE(w.caption, QStringLiteral("Quenrath VEK Software Version %1.%2.%3")
                                .arg(VEK_VERSION_MAJOR)
                                .arg(VEK_VERSION_MINOR)
                                .arg(VEK_VERSION_PATCH));
        QCOMPARE(w.viewCaptions[1], QStringLiteral("View 1 (View 1)"));
        QCOMPARE(w.viewCaptions[8], QStringLiteral("View 8 (View 8)"));
        QCOMPARE(users().UserName[1], QStringLiteral("Admin"));
        QCOMPARE(LessThanMinutes(), qint16(30));
        QVERIFY(core.timeMainActive());
        QVERIFY(core.timeTimeActive());
        QVERIFY(core.timeZoneActive());
        QVERIFY(core.timeWatchActive());
        QVERIFY(!UseBackupServers());
        QCOMPARE(AppPath(), QCoreApplication::applicationDirPath());
        QVERIFY(core.timeLink().isBound());
        QVERIFY(home.readLog().endsWith(" 09:05:07 Program Started\r\n"));

        // The status clock follows the clock on every tick.
        clock.set(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)));
        core.timeMain_Timer();
        QCOMPARE(w.clockTime, QStringLiteral("23:59:59"));
        clock.advanceMs(500);
        core.timeMain_Timer();
        QCOMPARE(w.clockTime, QStringLiteral("23:59:59"));
        clock.advanceMs(500);
        core.timeMain_Timer();
        QCOMPARE(w.clockTime, QStringLiteral("00:00:00"));
        QCOMPARE(w.clockDate, QLocale::system().toString(QDate(2026, 12, 9), QLocale::ShortFormat));
    }

    void watchedFolderTicksEveryTenSecondsOrAMinuteAfterALoad()
    {
        RecordingWindows w;
        ConsoleCore core(&w);
        QCOMPARE(core.timeWatchInterval(), 60000);
        core.timeWatch_Timer();
        QCOMPARE(core.timeWatchInterval(), 10000);
        bool loads = true;
        int ticks = 0;
        core.setFolderWatcher([&] {
            ++ticks;
            return loads;
        });
        core.timeWatch_Timer();
        QCOMPARE(core.timeWatchInterval(), 60000);
        loads = false;
        core.timeWatch_Timer();
        QCOMPARE(core.timeWatchInterval(), 10000);
        QCOMPARE(ticks, 2);
    }

    void commandLineLettersCountAnywhereInAnyCase()
    {
        TestHome home;
        writeUsers();
        // "-m": the time socket stays unbound, even on an address the PC lacks.
        home.write(QStringLiteral("VEK.INI"), freeTimeSettings("192.0.2.1"));
        {
            RecordingWindows w;
            ConsoleCore core(&w);
            core.MDIForm_Load(QStringLiteral("/b -m ide"));
            QVERIFY(!core.startupFailed());
            QVERIFY(core.useBackupServers());
            QVERIFY(core.runningInIDE());
            QVERIFY(!core.timeLink().isBound());
            QVERIFY(w.calls.contains("backup"));
            QVERIFY(w.caption.endsWith(QString(23, QLatin1Char(' ')) +
                                       QStringLiteral("CONNECTED TO BACKUP SERVERS!!!!")));
            QVERIFY(w.caption.startsWith(ConsoleCore::versionCaption() + QLatin1Char(' ')));
        }
        {
            // One argument holding several letters sets each of them.
            RecordingWindows w;
            ConsoleCore core(&w);
            core.MDIForm_Load(QStringLiteral("mb"));
            QVERIFY(!core.startupFailed());
            QVERIFY(core.useBackupServers());
            QVERIFY(!core.runningInIDE());
        }
    }

    void aBadSettingEndsTheProgramWithItsStageMessageAndIsNamed()
    {
        const QByteArray bad[][2] = {
            {"[Color_Settings]\r\nColor_1=abc\r\nColor_2=255\r\n",
             "13 Type mismatch\r\n.* VEK.INI: section Color_Settings, key Color_1, value \"abc\""},
            {"[Quality_Control]\r\nDevice=99999999\r\n",
             "6 Overflow\r\n.* VEK.INI: section Quality_Control, key Device, value \"99999999\""}};
        for (const auto &[content, logged] : bad) {
            TestHome home;
            writeUsers();
            home.write(QStringLiteral("VEK.INI"), content);
            RecordingWindows w;
            ConsoleCore core(&w);
            core.MDIForm_Load(QStringLiteral("M"));

            QVERIFY(core.startupFailed());
            QCOMPARE(w.calls, QStringList({"caption", "message", "end"}));
            QCOMPARE(w.messageTitle, QStringLiteral("VEK Application Loading Problem."));
            QCOMPARE(w.messageText,
                     QStringLiteral("Problem loading the VEK.INI file. Please verify "
                                    "it is in the same directory as the application."));
            QVERIFY(!core.timeMainActive());
            QVERIFY(!core.timeTimeActive());
            const QByteArray log = home.readLog();
            QVERIFY2(QRegularExpression(QStringLiteral(" Error \\(MDIForm_Load\\) ") +
                                        QString::fromLatin1(logged))
                         .match(QString::fromLatin1(log))
                         .hasMatch(),
                     log.constData());
            QVERIFY(!log.contains("Program Started"));
            QCOMPARE(home.read(QStringLiteral("VEK.INI")), content);
        }
    }

    void anUnreadableSettingsFileIsToldAndNeverSavedOver()
    {
        static const char utf16Bytes[] = "\xff\xfe[\0G\0e\0n\0]\0\r\0\n\0";
        const QByteArray utf16(utf16Bytes, sizeof utf16Bytes - 1);
        for (const QByteArray &content : {QByteArray(), utf16, QByteArray("\x01\x02garbage")}) {
            TestHome home;
            writeUsers();
            const QString path = home.path(QStringLiteral("VEK.INI"));
            if (content.isEmpty())
                QVERIFY(QDir().mkdir(path));
            else
                home.write(QStringLiteral("VEK.INI"), content);
            RecordingWindows w;
            ConsoleCore core(&w);
            core.MDIForm_Load(QStringLiteral("M"));
            QVERIFY(!core.startupFailed());
            QVERIFY2(w.messageText.endsWith(QStringLiteral(".  The console runs with default "
                                                           "settings and will not save over the "
                                                           "file.")),
                     qPrintable(w.messageText));
            const QByteArray cause =
                content.isEmpty() ? "Is a directory" : "no line of the INI form";
            QVERIFY(
                w.messageText.contains(QString::fromLatin1("could not be read (" + cause + ")")));
            QVERIFY(home.readLog().contains("VEK.INI could not be read (" + cause + "): "));
            QVERIFY(!SaveSettings());
            QVERIFY(!SaveSettings());
            QCOMPARE(home.readLog().count("VEK.INI not saved: "), 1);
            if (!content.isEmpty())
                QCOMPARE(home.read(QStringLiteral("VEK.INI")), content);
        }
    }

    void aMissingUsersFileEndsTheProgram()
    {
        TestHome home;
        RecordingWindows w;
        ConsoleCore core(&w);
        core.MDIForm_Load(QString());
        QVERIFY(core.startupFailed());
        QCOMPARE(w.messageText, QStringLiteral("Problem loading the USER.INI file. Please verify "
                                               "it is in the same directory as the application."));
        QCOMPARE(w.calls.last(), QStringLiteral("end"));
        // The view captions of step 9 come after the users file.
        QCOMPARE(w.viewCaptions[1], QString());
    }

    void anUnavailableCardAddressOpensTheNetworkCardsAndKeepsTheWindow()
    {
        TestHome home;
        writeUsers();
        home.write(QStringLiteral("VEK.INI"), freeTimeSettings("192.0.2.1"));
        RecordingWindows w;
        ConsoleCore core(&w);
        core.MDIForm_Load(QString());

        QVERIFY(core.startupFailed());
        QCOMPARE(w.calls, QStringList({"caption", "message", "nics"}));
        QCOMPARE(w.messageTitle, QStringLiteral("VEK Application Loading Problem."));
        QCOMPARE(w.messageText, NetworkText);
        QVERIFY(home.readLog().contains("Error (MDIForm_Load) 10049 "));
        // What came before the failure stays set up.
        QCOMPARE(w.viewCaptions[3], QStringLiteral("View 3 (View 3)"));
        QVERIFY(core.timeZoneActive());
        QVERIFY(!core.timeMainActive());

        // The WIN queue exists after the failure, so commands queued now are kept.
        WINADD("Qtest", 2);
        QCOMPARE(winQueueSize(2), 1);
        QCOMPARE(WINGET(2), QByteArray("Qtest"));
    }

    void clearingAnAlarmReportsToItsHeadEnd()
    {
        TestHome home;
        RecordingWindows w;
        ConsoleCore core(&w);
        QList<QPair<int, QByteArray>> sent;
        core.setSender([&](int he, const QByteArray &body, int cmd) {
            QCOMPARE(cmd, 0);
            sent.append({he, body});
        });
        const QByteArray user = qgetenv("USERNAME");
        const QByteArray domain = qgetenv("USERDOMAIN");
        qputenv("USERNAME", "oper1");
        qputenv("USERDOMAIN", "PLANT");

        AlarmText() = "Router down";
        LastAlarm() = "Router down";
        core.clearAlarm(QStringLiteral("7"), "Router down");
        core.clearAlarm(QString(), "B");
        core.clearAlarm(QStringLiteral("x3"), "C");
        core.clearAlarm(QStringLiteral("0"), "D");

        // Linux sets no USERNAME: the process's login name stands in.
        qunsetenv("USERNAME");
        qunsetenv("USERDOMAIN");
        const QByteArray login = qgetenv("USER").isEmpty() ? qgetenv("LOGNAME") : qgetenv("USER");
        core.clearAlarm(QStringLiteral("12"), "E");
        if (!user.isEmpty())
            qputenv("USERNAME", user);
        if (!domain.isEmpty())
            qputenv("USERDOMAIN", domain);

        QCOMPARE(sent.size(), 5);
        QCOMPARE(sent[0].first, 7);
        const QByteArray address = core.hsLink().localAddress(1).toLatin1();
        QCOMPARE(sent[0].second, "dOperator cleared alarm.  Alarm = Router down from IP " +
                                     address + ".  NT user name = oper1 on domain PLANT");
        QCOMPARE(sent[1].first, 1);
        QCOMPARE(sent[2].first, 1);
        QCOMPARE(sent[3].first, 1);
        QCOMPARE(sent[4].first, 12);
        QVERIFY(sent[4].second.endsWith(".  NT user name = " + login + " on domain "));
        QCOMPARE(AlarmText(), QByteArray());
        QCOMPARE(LastAlarm(), QByteArray());
        QVERIFY(home.readLog().contains(" Operator cleared alarm.  Alarm = Router down\r\n"));
    }

    void theAlarmReportGoesOnTheHeadEndsSendQueue()
    {
        TestHome home;
        resetConsoleState();
        RecordingWindows w;
        ConsoleCore core(&w);
        core.clearAlarm(QStringLiteral("5"), "Fan failed");
        // The real SendHS: the head end's message carries the header, then "d" and the text.
        QByteArray queued = LastSent(5);
        QVERIFY2(queued.contains("dOperator cleared alarm.  Alarm = Fan failed from IP " +
                                 hsLocalAddress(1).toLatin1() + ".  NT user name = "),
                 queued.constData());
        QCOMPARE(LastSent(1), QByteArray());
        resetConsoleState();
    }
};

VEK_TEST(TestConsoleCore)
#include "tst_consolecore.moc"
