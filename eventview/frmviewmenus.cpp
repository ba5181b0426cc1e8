#include "frmview.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/eventtext.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/selection.h"
#include "core/ui/mdimain.h"
#include "eventview/eventcommands.h"
#include "eventview/eventviews.h"
#include "eventview/groupcommands.h"
#include "platform/text.h"
#include "platform/widgets/gridview.h"

// The Event View's menu bar and the two popups of its lists.
namespace vek {

void frmView::buildMenus(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    QAction *open = file->addAction(QStringLiteral("Open Media Stats"));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    open->setEnabled(m_main && m_main->hasWindowOpener(MenuWindow::MediaStats));
    connect(open, &QAction::triggered, this, [this] {
        // The import dialog ticks the head ends this view shows.
        SelView() = qint16(m_view);
        if (m_main)
            m_main->menuWindow_Click(MenuWindow::MediaStats);
    });
    connect(file->addAction(QStringLiteral("Exit")), &QAction::triggered, this, [this] {
        if (m_main)
            m_main->menuFileExit_Click();
    });

    QMenu *event = bar->addMenu(QStringLiteral("&Event"));
    m_menuEventAdd = event->addAction(QStringLiteral("Add Event"));
    connect(m_menuEventAdd, &QAction::triggered, this, &frmView::menuEventAdd_Click);
    m_menuEventAdd->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    QAction *update = event->addAction(QStringLiteral("Update Event"));
    connect(update, &QAction::triggered, this, &frmView::menuEventUp_Click);
    update->setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));
    QAction *del = event->addAction(QStringLiteral("Delete Event"));
    del->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(del, &QAction::triggered, this, [this] { runCommand(BtnDelete); });
    m_menuEventHold = event->addAction(QStringLiteral("Hold Event"));
    connect(m_menuEventHold, &QAction::triggered, this, [this] { runCommand(BtnHold); });
    m_menuEventHold->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    m_menuEventSub = event->addAction(QStringLiteral("Sub Now"));
    connect(m_menuEventSub, &QAction::triggered, this,
            [this] { menuEventSub_Click(commandView(), selectedRows(*currentGrid())); });
    m_menuEventSub->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_menuEventInt = event->addAction(QStringLiteral("Int. / Res. Event"));
    m_menuEventInt->setEnabled(false);
    connect(m_menuEventInt, &QAction::triggered, this,
            [this] { menuEventInt_Click(commandView(), selectedRows(*currentGrid())); });
    m_menuEventInt->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));

    // Windows of other folders open through the main window's openers.
    const auto windowEntry = [this](QMenu *menu, const QString &caption, MenuWindow w) {
        QAction *a = menu->addAction(caption);
        a->setEnabled(m_main && m_main->hasWindowOpener(w));
        connect(a, &QAction::triggered, this, [this, w] {
            if (m_main)
                m_main->menuWindow_Click(w);
        });
        return a;
    };
    QMenu *viewMenu = bar->addMenu(QStringLiteral("&View"));
    windowEntry(viewMenu, QStringLiteral("Channel View"), MenuWindow::ChannelView)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    windowEntry(viewMenu, QStringLiteral("Color"), MenuWindow::ColourLegend);
    QMenu *views = viewMenu->addMenu(QStringLiteral("Event View"));
    for (int v = 1; v <= ViewCount; ++v) {
        m_menuVEvent[size_t(v)] = views->addAction(QStringLiteral("View %1").arg(v));
        m_menuVEvent[size_t(v)]->setShortcut(QKeySequence(Qt::SHIFT | (Qt::Key_F1 + (v - 1))));
        connect(m_menuVEvent[size_t(v)], &QAction::triggered, this, [this, v] {
            if (m_main)
                openEventView(m_main, v);
        });
    }
    windowEntry(viewMenu, QStringLiteral("Server Status"), MenuWindow::ServerStatus);

    m_menuSettings = bar->addMenu(QStringLiteral("&Settings"));
    for (const MenuEntry &e : settingsMenuEntries(true))
        windowEntry(m_menuSettings, QString::fromLatin1(e.caption), e.window);
    m_menuSettings->setEnabled(false);

    QMenu *show = bar->addMenu(QStringLiteral("S&how"));
    QMenu *showHE = show->addMenu(QStringLiteral("Head Ends"));
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        m_menuShHE[size_t(he)] = showHE->addAction(QStringLiteral("Head End %1  (F%1)").arg(he));
        m_menuShHE[size_t(he)]->setCheckable(true);
        // The entry has flipped its check already when it reports the click.
        connect(m_menuShHE[size_t(he)], &QAction::triggered, this,
                [this, he](bool checked) { showHeadEnd(he, checked); });
    }

    QMenu *window = bar->addMenu(QStringLiteral("&Window"));
    const char *const arrange[4] = {"&Cascade", "Tile &Horizontal", "Tile &Vertical",
                                    "&Arrange Icons"};
    for (int i = 0; i < 4; ++i) {
        connect(window->addAction(QString::fromLatin1(arrange[i])), &QAction::triggered, this,
                [this, i] {
                    if (m_main)
                        m_main->menuWindowArrange_Click(i);
                });
    }

    QMenu *usersMenu = bar->addMenu(QStringLiteral("&Users"));
    QAction *login = usersMenu->addAction(QStringLiteral("Login"));
    login->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    connect(login, &QAction::triggered, this, [this] {
        if (m_main)
            m_main->menuUserLI_Click();
    });
    connect(usersMenu->addAction(QStringLiteral("Logout")), &QAction::triggered, this,
            [] { UserLogOut(); });
    windowEntry(usersMenu, QStringLiteral("Administrator Options"), MenuWindow::AdminOptions);
    windowEntry(bar->addMenu(QStringLiteral("About")), QStringLiteral("About"), MenuWindow::About);

    // The pop-ups of the lists (their commands come with the event commands).
    m_menuPOP = new QMenu(QStringLiteral("POPGROUP"), this);
    for (int g = 0; g <= MaxGroups; ++g) {
        m_menuPOPGROUP[size_t(g)] = m_menuPOP->addAction(fromBytes(GroupText(quint8(g))));
        connect(m_menuPOPGROUP[size_t(g)], &QAction::triggered, this, [this, g] {
            if (m_popupSource == ListUpcoming || m_popupSource == ListOnAir)
                menuPOPGROUP_Click(g, m_popupSource, m_popupTarget.group, this);
        });
    }
    m_menuPOPEVENT = new QMenu(QStringLiteral("POPEVENT"), this);
    // The popups act on the rows taken when they opened (see gridMouseDown).
    auto popupItem = [this](const QString &caption, auto command) {
        QAction *a = m_menuPOPEVENT->addAction(caption);
        connect(a, &QAction::triggered, this,
                [this, command] { command(m_popupTarget.view, m_popupTarget.rows); });
        return a;
    };
    m_menuPEDelete = popupItem(QStringLiteral("Delete Event"), &menuEventDel_Click);
    m_menuPEHold = m_menuPOPEVENT->addAction(QStringLiteral("Hold Event"));
    connect(m_menuPEHold, &QAction::triggered, this, [this] {
        if (menuEventHold_Click(m_popupTarget.view, m_popupTarget.rows))
            selectFirstRow(*grid(m_popupTarget.list));
    });
    m_menuPESubNow = popupItem(QStringLiteral("Sub Now"), &menuPESubNow_Click);
    m_menuPEIntRes = popupItem(QStringLiteral("Int. / Res. Event"), &menuPEIntRes_Click);
    m_menuPEIntRes->setVisible(false);
    m_menuPEActive = popupItem(QStringLiteral("Active"), &menuPEActive_Click);
    m_menuPECopyMediaPoint = m_menuPOPEVENT->addAction(QStringLiteral("Copy Media Point ID"));
    connect(m_menuPECopyMediaPoint, &QAction::triggered, this,
            [this] { menuPECopyMediaPoint_Click(m_popupTarget.rows); });
}

void frmView::gridMouseDown(int list, Qt::MouseButton button, int row, int col,
                            const QPoint &globalPos)
{
    if (button != Qt::RightButton || row < 1)
        return;
    GridView *g = grid(list);
    if (trimBlanks(g->textMatrix(row, 0)).isEmpty())
        return;
    // A popup runs while the lists rebuild: its commands act on the rows selected now, and
    // each checks before acting that its slot still holds the event it showed.
    m_popupTarget.list = list;
    m_popupTarget.view = commandView();
    m_popupTarget.rows = selectedRows(*g);
    m_popupTarget.group = groupList(*g);
    if ((list == ListUpcoming || list == ListOnAir) && col == GroupColumn) {
        m_popupSource = list;
        m_menuPOP->popup(globalPos);
        return;
    }
    m_menuPEHold->setVisible(list != ListAsRun);
    m_menuPESubNow->setVisible(list != ListAsRun);
    m_menuPEIntRes->setVisible(list != ListAsRun);
    m_menuPEActive->setVisible(list == ListUpcoming);
    m_menuPOPEVENT->popup(globalPos);
}

} // namespace vek
