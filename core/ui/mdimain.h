#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <deque>
#include <functional>

#include "core/consolewindows.h"
#include "frmalarm.h"
#include "frmlogin.h"
#include "frmtrouble.h"
#include "menuwindow.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vek {

class ConsoleCore;
class KeyboardState;

// The console's main window: child windows in an MDI area, the menus, the seven-panel
// status bar. Start-up and the timers live in ConsoleCore, which drives it.
class MDIMain : public QMainWindow, public ConsoleWindows
{
    Q_OBJECT
public:
    static constexpr int StatusPanels = 7;

    explicit MDIMain(QWidget *parent = nullptr);
    ~MDIMain() override;

    // The core whose start-up this window shows; alarm windows report through it.
    void attach(ConsoleCore *core);
    ConsoleCore *core() const { return m_core; }

    // Opens Event View n; the Event View library installs it, which enables the View
    // menu's Event View entries.
    using EventViewOpener = std::function<void(int view)>;
    void setEventViewOpener(EventViewOpener opener);

    // Opens a window of a folder above the core; installing one enables its menu entries.
    using WindowOpener = std::function<void()>;
    void setWindowOpener(MenuWindow window, WindowOpener opener);
    bool hasWindowOpener(MenuWindow window) const;
    // A menu entry chosen here or in an Event View: the Settings windows open only for an
    // administrator, whatever the menu's state.
    void menuWindow_Click(MenuWindow window);
    // Opens the window whoever is logged in (start-up opens the network cards).
    void openWindow(MenuWindow window);
    QAction *windowEntry(MenuWindow window) const;
    // Shows a freshly built dialog over the middle of this window, in front.
    void showDialog(QWidget *dialog);
    // The views were renamed: this window's View menu follows, and viewNamesChanged tells
    // the Event Views so theirs follow at once too.
    void showViewNames();
    // Redraws the Channel View for a head end's channel-table change; installed with the
    // Channel View's opener.
    using ChanViewFiller = std::function<void(int headEnd)>;
    void setChanViewFiller(ChanViewFiller filler) { m_fillChanView = std::move(filler); }

    // A child window's menus: they take the place of this window's own menus in the menu
    // bar while that child is the active one, with their shortcuts; this window's own come
    // back when a child without menus, or none, is active.
    void setChildMenus(QWidget *child, const QList<QAction *> &menus);

    void menuWindowArrange_Click(int index);
    void menuFileExit_Click();
    void menuUserLI_Click();
    void menuUserLO_Click();

    QMdiArea *mdiArea() const { return m_mdi; }
    QMenu *menuSettings() const { return m_menuSettings; }
    QAction *menuVEvent(int view) const;
    QLabel *statusPanel(int panel) const;
    // CAPS, NUM and INS (panels 5..7) as the keyboard stands now.
    void showKeyboardState();
    KeyboardState *keyboardState() const { return m_keyboard; }
    QList<frmALARM *> alarmWindows() const;
    QList<frmTrouble *> troubleWindows() const;
    frmLogin *loginWindow() const { return m_login; }
    bool ended() const { return m_ended; }

    // ConsoleWindows
    void setCaption(const QString &caption) override;
    void showBackupLook() override;
    void setViewMenuCaption(int view, const QString &caption) override;
    void showCriticalMessage(const QString &title, const QString &text) override;
    void openNetworkCards() override;
    void openEventView(int view) override;
    void showLogin() override;
    void setClockPanels(const QString &time, const QString &date) override;
    void endProgram() override;
    void showTroubleWindow(int headEnd) override;
    void showAlarmWindow(int headEnd, const QByteArray &text) override;
    void fillChanView(int headEnd) override;

signals:
    void viewNamesChanged();

private:
    void buildMenus();
    void buildStatusBar();
    QAction *addDisabled(QMenu *menu, const QString &caption);
    void showMenusOf(QMdiSubWindow *active);
    QAction *addWindowEntry(QMenu *menu, const QString &caption, MenuWindow window);
    void openAlarmWindow(int headEnd, const QByteArray &text);
    void openWaitingAlarm();

    ConsoleCore *m_core = nullptr;
    KeyboardState *m_keyboard = nullptr;
    EventViewOpener m_openEventView;
    std::array<WindowOpener, MenuWindowCount> m_windowOpeners{};
    ChanViewFiller m_fillChanView;
    std::array<QAction *, MenuWindowCount> m_windowEntries{};
    QMdiArea *m_mdi;
    QMenu *m_menuSettings = nullptr;
    std::array<QAction *, 9> m_menuVEvent{};
    std::array<QLabel *, StatusPanels + 1> m_panels{};
    QPointer<frmLogin> m_login;
    // An alarm storm: at most this many windows are open; the next wait in the order
    // they came, up to a cap beyond which the oldest waiting go (counted in the log).
    static constexpr int MaxAlarmWindows = 20;
    static constexpr size_t MaxWaitingAlarms = 1000;
    QList<QPointer<frmALARM>> m_alarmWindows;
    std::deque<std::pair<int, QByteArray>> m_waitingAlarms;
    qint64 m_alarmsDropped = 0;
    QList<QPointer<frmTrouble>> m_troubleWindows;
    bool m_ended = false;
    QList<QAction *> m_ownMenus;
    QHash<const QWidget *, QList<QPointer<QAction>>> m_childMenus;
};

} // namespace vek
