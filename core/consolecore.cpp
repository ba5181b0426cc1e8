#include "consolecore.h"

#include "reportidentity.h"

#include <QCoreApplication>
#include <QDir>
#include <cmath>

#include "hslink.h"
#include "log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "receivestate.h"
#include "settings.h"
#include "startupstate.h"
#include "timelink.h"
#include "timezones.h"
#include "users.h"

namespace vek {

namespace {
constexpr int AddressNotAvailable = 10049;

const char *const LoadingTitle = "VEK Application Loading Problem.";
const char *const NetworkText =
    "Please verify that there is a good network connection in place on both the broadcast and "
    "house networks.  Please check the VEK.INI file for correct settings on both IP addresses.";
const char *const StageIni = "Problem loading the VEK.INI file. Please verify it is in the same "
                             "directory as the application.";
const char *const StageUsers = "Problem loading the USER.INI file. Please verify it is in the same "
                               "directory as the application.";
const char *const StageNetwork = "Problems with the network settings. Check the VEK.INI file.";
const char *const StageTimeNetwork =
    "Problems with the time network settings. Check the VEK.INI file.";
const char *const StageGeneral = "General Problem. Check VEK.INI File.";
constexpr int WatchFirstMs = 60000;
constexpr int WatchIdleMs = 10000;
constexpr int WatchLoadedMs = 60000;

const char *const ClearedText = "Operator cleared alarm.  Alarm = ";

} // namespace

ConsoleCore::ConsoleCore(ConsoleWindows *windows, QObject *parent)
    : QObject(parent), m_windows(windows), m_hs(new HsLink(this, this)), m_time(new TimeLink(this)),
      m_sender([](int he, const QByteArray &body, int cmd) { SendHS(he, body, cmd); })
{
    m_timeMain.setInterval(500);
    m_timeTime.setInterval(5000);
    m_timeZone.setInterval(250);
    m_timeWatch.setInterval(WatchFirstMs);
    connect(&m_timeMain, &QTimer::timeout, this, &ConsoleCore::timeMain_Timer);
    connect(&m_timeTime, &QTimer::timeout, this, &ConsoleCore::timeTime_Timer);
    connect(&m_timeZone, &QTimer::timeout, this, &ConsoleCore::timeZone_Timer);
    connect(&m_timeWatch, &QTimer::timeout, this, &ConsoleCore::timeWatch_Timer);
}

ConsoleCore::~ConsoleCore() = default;

QString ConsoleCore::versionCaption()
{
    return fromBytes("Quenrath VEK Software Version" + Str(qint64(VEK_VERSION_MAJOR)) + "." +
                     trimBlanks(Str(qint64(VEK_VERSION_MINOR))) + "." +
                     trimBlanks(Str(qint64(VEK_VERSION_PATCH))));
}

void ConsoleCore::MDIForm_Load(const QString &commandLine)
{
    // Nothing before the first stage can fail today; should it, the box still says something.
    QByteArray stage = StageGeneral;
    try {
        // The timers and the send flush that run from the window's creation.
        m_timeZone.start();
        m_timeWatch.start();
        m_hs->start();

        QString caption = versionCaption();
        const QString cmd = commandLine.toUpper();
        const bool noTimeBind = cmd.contains(QLatin1Char('M'));
        UseBackupServers() = cmd.contains(QLatin1Char('B'));
        RunningInIDE() = cmd.contains(QLatin1String("IDE"));
        if (UseBackupServers())
            caption +=
                QString(23, QLatin1Char(' ')) + QStringLiteral("CONNECTED TO BACKUP SERVERS!!!!");
        m_windows->setCaption(caption);
        if (UseBackupServers())
            m_windows->showBackupLook();

        stage = StageIni;
        loadSettingsFile();
        LessThanMinutes() = 30;
        LoadDSTTable();
        AppPath() = QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath()
                                                            : QString();
        m_hs->setRetryIntervals();

        stage = StageUsers;
        LoadUsers();
        for (int v = 1; v <= MaxViews; ++v)
            m_windows->setViewMenuCaption(v, fromBytes(viewMenuCaption(v)));

        stage = StageNetwork;
        m_hs->connectHeadEnds(UseBackupServers());

        stage = StageTimeNetwork;
        m_time->configure();
        if (!noTimeBind)
            m_time->bind();

        stage = StageGeneral;
        m_windows->openEventView(1);
        m_windows->showLogin();
        m_timeTime.start();
        m_timeMain.start();
        timeMain_Timer();
        WriteLog("Program Started");
    } catch (const Failure &f) {
        m_startupFailed = true;
        const bool network = f.number() == AddressNotAvailable;
        m_windows->showCriticalMessage(QString::fromLatin1(LoadingTitle),
                                       fromBytes(network ? QByteArray(NetworkText) : stage));
        logError("Error (MDIForm_Load)", f);
        // A value VEK.INI holds that could not be read: where it stands, so the
        // administrator can find it.
        if (!settingsBadValue().isEmpty())
            WriteLog(settingsBadValue());
        if (network) {
            // The main window stays, with what was set up before the failure.
            m_windows->openNetworkCards();
        } else {
            m_timeZone.stop();
            m_timeWatch.stop();
            m_windows->endProgram();
        }
    }
}

void ConsoleCore::loadSettingsFile()
{
    LoadSettings();
    const QByteArray problem = settingsFileProblem();
    if (!problem.isEmpty())
        m_windows->showCriticalMessage(
            QString::fromLatin1(LoadingTitle),
            QStringLiteral("%1 %2.  The console runs with default settings and will not save "
                           "over the file.")
                .arg(QDir::toNativeSeparators(settingsFilePath()), fromBytes(problem)));
}

void ConsoleCore::timeWatch_Timer()
{
    m_timeWatch.setInterval(WatchIdleMs);
    if (m_watcher && m_watcher())
        m_timeWatch.setInterval(WatchLoadedMs);
}

bool ConsoleCore::useBackupServers() const
{
    return UseBackupServers();
}

bool ConsoleCore::runningInIDE() const
{
    return RunningInIDE();
}

void ConsoleCore::timeMain_Timer()
{
    const QDateTime now = Clock::localNow();
    m_windows->setClockPanels(now.time().toString(QStringLiteral("hh:mm:ss")),
                              fromBytes(shortDate(now.date())));
}

void ConsoleCore::timeTime_Timer()
{
    try {
        m_time->tick();
    } catch (const Failure &f) {
        logError("Error timeTime_Timer)", f);
    }
}

void ConsoleCore::timeZone_Timer()
{
    try {
        updateZoneTimes();
    } catch (const Failure &f) {
        logError("Error timeZone_Timer)", f);
    }
}

void ConsoleCore::clearAlarm(const QString &tag, const QByteArray &shownText)
{
    WriteLog(ClearedText + shownText);
    const QByteArray report =
        ClearedText + shownText + " from IP " + toBytes(m_hs->localAddress(1)) +
        ".  NT user name = " + reportUserName() + " on domain " + reportUserDomain();
    // 0 (an empty or non-numeric tag) means head end 1; so does a number no head end has,
    // rather than a report sent nowhere.
    double headEnd = std::nearbyint(leadingValue(toBytes(tag)));
    if (!validHeadEnd(headEnd))
        headEnd = 1;
    try {
        m_sender(int(headEnd), "d" + report, 0);
    } catch (const Failure &f) {
        logError("Error cmdOk_Click)", f);
    }
    // The same alarm text, reported again, opens a new window.
    AlarmText().clear();
    LastAlarm().clear();
}

void ConsoleCore::setSender(Sender sender)
{
    m_sender = std::move(sender);
}

void ConsoleCore::showTroubleWindow(int headEnd)
{
    if (m_windows != nullptr)
        m_windows->showTroubleWindow(headEnd);
}

void ConsoleCore::showAlarmWindow(int headEnd, const QByteArray &text)
{
    if (m_windows != nullptr)
        m_windows->showAlarmWindow(headEnd, text);
}

void ConsoleCore::fillChanView(int headEnd)
{
    if (m_windows != nullptr)
        m_windows->fillChanView(headEnd);
}

} // namespace vek
