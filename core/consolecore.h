#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "consolewindows.h"

namespace vek {

class HsLink;
class TimeLink;

// The console's start-up and its main timers, without widgets: the window layer is
// reached only through ConsoleWindows, so the whole start-up runs headless.
class ConsoleCore : public QObject, public ConsoleUi
{
    Q_OBJECT
public:
    // The links (and the queues they own) exist from here on, before any start-up step can
    // fail, so nothing queued after a failed start-up is lost.
    explicit ConsoleCore(ConsoleWindows *windows, QObject *parent = nullptr);
    ~ConsoleCore() override;

    // Start-up, once. commandLine: the arguments after the program name, joined by blanks.
    void MDIForm_Load(const QString &commandLine);

    // The caption of step 1, from the build's version.
    static QString versionCaption();

    // Timer handlers; the timers call them, tests call them directly.
    void timeMain_Timer();
    void timeTime_Timer();
    void timeZone_Timer();
    // The watched folder: every 10 s, or 60 s after a tick that loaded a file.
    void timeWatch_Timer();

    // What a watched-folder tick does; true when it loaded a file. The media-stats library
    // installs it.
    using FolderWatcher = std::function<bool()>;
    void setFolderWatcher(FolderWatcher watcher) { m_watcher = std::move(watcher); }
    int timeWatchInterval() const { return m_timeWatch.interval(); }
    bool timeWatchActive() const { return m_timeWatch.isActive(); }

    // The alarm window's OK: logs, reports the clearing to the head end named by the
    // window's tag (0 or not a number: head end 1) and forgets the alarm text.
    void clearAlarm(const QString &tag, const QByteArray &shownText);

    // Replaces SendHS for the alarm report (tests).
    using Sender = std::function<void(int headEnd, const QByteArray &body, int cmd)>;
    void setSender(Sender sender);

    bool useBackupServers() const;
    bool runningInIDE() const;
    bool startupFailed() const { return m_startupFailed; }
    bool timeMainActive() const { return m_timeMain.isActive(); }
    bool timeTimeActive() const { return m_timeTime.isActive(); }
    bool timeZoneActive() const { return m_timeZone.isActive(); }

    HsLink &hsLink() { return *m_hs; }
    TimeLink &timeLink() { return *m_time; }

    // ConsoleUi, forwarded to the windows.
    void showTroubleWindow(int headEnd) override;
    void showAlarmWindow(int headEnd, const QByteArray &text) override;
    void fillChanView(int headEnd) override;

private:
    // VEK.INI at start-up: one that cannot be read is told and logged, and the console runs
    // on with defaults; a bad value it holds fails start-up like any other load error.
    void loadSettingsFile();

    ConsoleWindows *m_windows;
    HsLink *m_hs;
    TimeLink *m_time;
    Sender m_sender;
    FolderWatcher m_watcher;
    QTimer m_timeMain;
    QTimer m_timeTime;
    QTimer m_timeZone;
    QTimer m_timeWatch;
    bool m_startupFailed = false;
};

} // namespace vek
