#include "mdimain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "core/consolecore.h"
#include "core/log.h"
#include "core/login.h"
#include "core/startupstate.h"
#include "core/users.h"
#include "frmalarm.h"
#include "frmlogin.h"
#include "frmtrouble.h"
#include "mdiarrange.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/keyboardstate.h"
#include "platform/widgets/steadylabel.h"

namespace vek {

namespace {
// New dialogs open over the middle of the main window.
void centreOver(QWidget *dialog, const QWidget *main)
{
    dialog->adjustSize();
    const QRect frame = main->frameGeometry();
    dialog->move(frame.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
}
// A window that opens by itself (an alarm, a communication problem) comes up on top without
// taking activation: the operator's half-edited dialog keeps it, and with it the typing.
void showNotice(QWidget *w)
{
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->show();
    w->raise();
}
} // namespace

MDIMain::MDIMain(QWidget *parent) : QMainWindow(parent)
{
    m_mdi = new QMdiArea(this);
    setCentralWidget(m_mdi);
    buildMenus();
    m_ownMenus = menuBar()->actions();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MDIMain::showMenusOf);
    buildStatusBar();
    m_keyboard = new KeyboardState(this);
    connect(m_keyboard, &KeyboardState::changed, this, [this] {
        // The lock has changed by the time the key is released: look once the key is done.
        QTimer::singleShot(0, this, &MDIMain::showKeyboardState);
    });
    showKeyboardState();
    resize(1024, 700);
    setSessionObserver([this](const SessionStatus &s) {
        m_panels[3]->setText(s.userPanel);
        m_panels[4]->setText(s.privilegePanel);
        m_menuSettings->setEnabled(s.settingsEnabled);
    });
}

MDIMain::~MDIMain()
{
    // The child windows close after this window's menu bar is gone.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (auto child = m_childMenus.keyBegin(); child != m_childMenus.keyEnd(); ++child)
        disconnect(*child, nullptr, this, nullptr);
    setSessionObserver(nullptr);
}

void MDIMain::attach(ConsoleCore *core)
{
    m_core = core;
}

QAction *MDIMain::addDisabled(QMenu *menu, const QString &caption)
{
    // Its window belongs to a library above this one, which enables the entry when it
    // installs the window's opener.
    QAction *a = menu->addAction(caption);
    a->setEnabled(false);
    return a;
}

QAction *MDIMain::addWindowEntry(QMenu *menu, const QString &caption, MenuWindow window)
{
    QAction *a = addDisabled(menu, caption);
    m_windowEntries[size_t(window)] = a;
    connect(a, &QAction::triggered, this, [this, window] { menuWindow_Click(window); });
    return a;
}

void MDIMain::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("Exit")), &QAction::triggered, this,
            &MDIMain::menuFileExit_Click);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    addWindowEntry(view, QStringLiteral("Channel View"), MenuWindow::ChannelView);
    addWindowEntry(view, QStringLiteral("Color"), MenuWindow::ColourLegend);
    QMenu *events = view->addMenu(QStringLiteral("Event View"));
    for (int v = 1; v <= 8; ++v) {
        m_menuVEvent[v] = addDisabled(
            events, fromBytes("View" + Str(qint64(v)) + " (View" + Str(qint64(v)) + ")"));
    }
    addWindowEntry(view, QStringLiteral("Server Status"), MenuWindow::ServerStatus);

    m_menuSettings = menuBar()->addMenu(QStringLiteral("&Settings"));
    for (const MenuEntry &e : settingsMenuEntries(false))
        addWindowEntry(m_menuSettings, QString::fromLatin1(e.caption), e.window);
    // Only an administrator's login enables it.
    m_menuSettings->setEnabled(false);

    QMenu *window = menuBar()->addMenu(QStringLiteral("&Window"));
    const QString arrangements[4] = {QStringLiteral("&Cascade"), QStringLiteral("Tile &Horizontal"),
                                     QStringLiteral("Tile &Vertical"),
                                     QStringLiteral("&Arrange Icons")};
    for (int i = 0; i < 4; ++i) {
        connect(window->addAction(arrangements[i]), &QAction::triggered, this,
                [this, i] { menuWindowArrange_Click(i); });
    }

    QMenu *usersMenu = menuBar()->addMenu(QStringLiteral("&Users"));
    connect(usersMenu->addAction(QStringLiteral("Login")), &QAction::triggered, this,
            &MDIMain::menuUserLI_Click);
    connect(usersMenu->addAction(QStringLiteral("Logout")), &QAction::triggered, this,
            &MDIMain::menuUserLO_Click);
    addWindowEntry(usersMenu, QStringLiteral("Administrator Options"), MenuWindow::AdminOptions);

    QAction *about = menuBar()->addAction(QStringLiteral("About"));
    about->setEnabled(false);
    m_windowEntries[size_t(MenuWindow::About)] = about;
    connect(about, &QAction::triggered, this, [this] { menuWindow_Click(MenuWindow::About); });
}

void MDIMain::buildStatusBar()
{
    const QString texts[StatusPanels + 1] = {QString(),
                                             QString(),
                                             QString(),
                                             QStringLiteral("User:"),
                                             QStringLiteral("Privileges:"),
                                             QStringLiteral("CAPS"),
                                             QStringLiteral("NUM"),
                                             QStringLiteral("INS")};
    for (int p = 1; p <= StatusPanels; ++p) {
        m_panels[p] = new QLabel(texts[p], this);
        m_panels[p]->setFrameShape(QFrame::Panel);
        m_panels[p]->setFrameShadow(QFrame::Sunken);
        m_panels[p]->setMinimumWidth(p == 3 || p == 4 ? 200 : 70);
        statusBar()->addWidget(m_panels[p], p == 3 || p == 4 ? 1 : 0);
    }
    keepSizeForWidestText(m_panels[1], {QStringLiteral("00:00:00")});
}

QAction *MDIMain::menuVEvent(int view) const
{
    return view >= 1 && view <= 8 ? m_menuVEvent[view] : nullptr;
}

QLabel *MDIMain::statusPanel(int panel) const
{
    return panel >= 1 && panel <= StatusPanels ? m_panels[panel] : nullptr;
}

QList<frmALARM *> MDIMain::alarmWindows() const
{
    QList<frmALARM *> out;
    for (const QPointer<frmALARM> &w : m_alarmWindows) {
        if (w && w->isVisible())
            out.append(w);
    }
    return out;
}

QList<frmTrouble *> MDIMain::troubleWindows() const
{
    QList<frmTrouble *> out;
    for (const QPointer<frmTrouble> &w : m_troubleWindows) {
        if (w && w->isVisible())
            out.append(w);
    }
    return out;
}

void MDIMain::setChildMenus(QWidget *child, const QList<QAction *> &menus)
{
    if (!child)
        return;
    QList<QPointer<QAction>> kept;
    for (QAction *a : menus)
        kept.append(a);
    m_childMenus.insert(child, kept);
    connect(child, &QObject::destroyed, this, [this, child] {
        m_childMenus.remove(child);
        showMenusOf(m_mdi->activeSubWindow());
    });
    showMenusOf(m_mdi->activeSubWindow());
}

void MDIMain::showMenusOf(QMdiSubWindow *active)
{
    // A window of its own in front (a modeless dialog) leaves no sub-window active: the last
    // active one keeps its menus, so they are there when the operator comes back.
    if (active == nullptr)
        active = m_mdi->currentSubWindow();
    QList<QAction *> wanted = m_ownMenus;
    const auto child = active ? m_childMenus.constFind(active->widget()) : m_childMenus.cend();
    if (child != m_childMenus.cend()) {
        wanted.clear();
        for (const QPointer<QAction> &a : *child) {
            if (a)
                wanted.append(a);
        }
    }
    QMenuBar *bar = menuBar();
    if (bar->actions() == wanted)
        return;
    // Taken out, not cleared: the menus belong to their windows.
    for (QAction *a : bar->actions())
        bar->removeAction(a);
    bar->addActions(wanted);
}

void MDIMain::menuWindowArrange_Click(int index)
{
    arrangeMdi(m_mdi, index);
}

void MDIMain::menuFileExit_Click()
{
    close();
    QCoreApplication::exit(0);
}

void MDIMain::menuUserLI_Click()
{
    showLogin();
}

void MDIMain::menuUserLO_Click()
{
    UserLogOut();
}

void MDIMain::setWindowOpener(MenuWindow window, WindowOpener opener)
{
    m_windowOpeners[size_t(window)] = std::move(opener);
    if (QAction *a = m_windowEntries[size_t(window)])
        a->setEnabled(hasWindowOpener(window));
}

bool MDIMain::hasWindowOpener(MenuWindow window) const
{
    return bool(m_windowOpeners[size_t(window)]);
}

void MDIMain::menuWindow_Click(MenuWindow window)
{
    if (isSettingsWindow(window) && currentPrivilege() != PrivilegeAdmin)
        return;
    openWindow(window);
}

void MDIMain::openWindow(MenuWindow window)
{
    if (const WindowOpener &open = m_windowOpeners[size_t(window)])
        open();
}

QAction *MDIMain::windowEntry(MenuWindow window) const
{
    return m_windowEntries[size_t(window)];
}

void MDIMain::showViewNames()
{
    for (int v = 1; v <= 8; ++v)
        setViewMenuCaption(v, fromBytes(viewMenuCaption(v)));
    emit viewNamesChanged();
}

void MDIMain::showDialog(QWidget *dialog)
{
    centreOver(dialog, this);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MDIMain::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void MDIMain::showBackupLook()
{
    m_mdi->setBackground(QBrush(QColor(255, 0, 0)));
}

void MDIMain::setViewMenuCaption(int view, const QString &caption)
{
    if (QAction *a = menuVEvent(view))
        a->setText(caption);
}

void MDIMain::showCriticalMessage(const QString &title, const QString &text)
{
    DialogSeam::message(this, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

void MDIMain::openNetworkCards()
{
    openWindow(MenuWindow::NetworkCards);
}

void MDIMain::setEventViewOpener(EventViewOpener opener)
{
    m_openEventView = std::move(opener);
    for (int v = 1; v <= 8; ++v) {
        m_menuVEvent[v]->setEnabled(bool(m_openEventView));
        disconnect(m_menuVEvent[v], &QAction::triggered, this, nullptr);
        connect(m_menuVEvent[v], &QAction::triggered, this, [this, v] { openEventView(v); });
    }
}

void MDIMain::openEventView(int view)
{
    if (m_openEventView)
        m_openEventView(view);
}

void MDIMain::showLogin()
{
    if (!m_login) {
        m_login = new frmLogin(this);
        centreOver(m_login, this);
    }
    m_login->show();
    m_login->raise();
    m_login->activateWindow();
}

void MDIMain::setClockPanels(const QString &time, const QString &date)
{
    m_panels[1]->setText(time);
    m_panels[2]->setText(date);
    // Locks switched in another application show within the clock's half second.
    showKeyboardState();
}

void MDIMain::showKeyboardState()
{
    // A panel is drawn normally while its state is on and greyed while it is off. Where the
    // platform does not tell the locks, their panels keep the plain texts.
    if (const std::optional<KeyboardState::Locks> locks = KeyboardState::locks()) {
        m_panels[5]->setEnabled(locks->caps);
        m_panels[6]->setEnabled(locks->num);
    }
    m_panels[7]->setEnabled(m_keyboard->insertMode());
}

void MDIMain::endProgram()
{
    m_ended = true;
    close();
    QCoreApplication::exit(1);
}

void MDIMain::showTroubleWindow(int headEnd)
{
    auto *w = new frmTrouble(headEnd, UseBackupServers(), this);
    m_troubleWindows.removeAll(nullptr);
    m_troubleWindows.append(w);
    showNotice(w);
}

void MDIMain::showAlarmWindow(int headEnd, const QByteArray &text)
{
    m_alarmWindows.removeAll(nullptr);
    if (m_alarmWindows.size() < MaxAlarmWindows) {
        openAlarmWindow(headEnd, text);
        return;
    }
    if (m_waitingAlarms.size() >= MaxWaitingAlarms) {
        m_waitingAlarms.pop_front();
        ++m_alarmsDropped;
        if (logLimitAllows("alarms dropped")) {
            WriteLog("Alarm windows: " + QByteArray::number(m_alarmsDropped) +
                     " waiting alarm(s) dropped, the oldest first (" +
                     QByteArray::number(MaxAlarmWindows) + " open, " +
                     QByteArray::number(qint64(MaxWaitingAlarms)) + " waiting)");
            m_alarmsDropped = 0;
        }
    }
    m_waitingAlarms.emplace_back(headEnd, text);
}

void MDIMain::openAlarmWindow(int headEnd, const QByteArray &text)
{
    auto *w = new frmALARM(m_core, fromBytes(CStr(qint64(headEnd))), text, true, this);
    m_alarmWindows.append(w);
    connect(w, &frmALARM::acknowledged, this, [this, w] {
        m_alarmWindows.removeAll(w);
        openWaitingAlarm();
    });
    showNotice(w);
}

void MDIMain::openWaitingAlarm()
{
    m_alarmWindows.removeAll(nullptr);
    while (!m_waitingAlarms.empty() && m_alarmWindows.size() < MaxAlarmWindows) {
        const auto [headEnd, text] = m_waitingAlarms.front();
        m_waitingAlarms.pop_front();
        openAlarmWindow(headEnd, text);
    }
}

void MDIMain::fillChanView(int headEnd)
{
    if (m_fillChanView)
        m_fillChanView(headEnd);
}

} // namespace vek
