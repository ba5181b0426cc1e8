#pragma once

#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "core/settings.h"
#include "core/ui/tilesizing.h"
#include "eventview/eventcommands.h"
#include "eventview/eventgrids.h"
#include "eventview/eventlists.h"
#include "eventview/groupcommands.h"
#include "eventview/sharedlists.h"

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWheelEvent;

namespace vek {

class GridView;
class MDIMain;
class ViewStatusBar;
class ViewToolBar;

// An Event View window: the Upcoming, On-Air and As Run lists of the head ends this view
// shows, the dashboard, a zone clock, the view options, a toolbar, a status bar and the
// console's menus. Up to eight exist at once, one per view number (its tag).
class frmView : public QWidget, public TileSizing
{
    Q_OBJECT
public:
    // The toolbar's buttons, numbered as the tab rules number them.
    enum Button {
        BtnAdd = 1,
        BtnUpdate,
        BtnDelete,
        BtnHold,
        BtnSubNow,
        BtnHoldGroup,
        BtnSubGroup,
        BtnIntRes,
        BtnIntResGroup,
        ButtonCount = 9
    };
    static constexpr int StatusPanels = 16;

    frmView(int view, MDIMain *main, QWidget *parent = nullptr);
    ~frmView() override;

    int view() const { return m_view; }

    // Lifecycle and handlers; the window's own events call them, tests call them directly.
    void Form_Activate();
    void Form_Deactivate();
    void Form_Resize();
    // The size a new window opens at: every control shows, with the dashboard on too.
    QSize defaultSize() const;
    // The least height that shows every control at a width: the lists give way first,
    // down to their header and one row.
    int minimumHeightFor(int width) const;
    // The height that shows every control and a number of list rows at a width.
    int heightForRows(int width, int rows) const override;
    // F1..F12 toggle a head end; the Show menu's checked entry sets it as checked.
    void menuShHE_Click(int headEnd);
    void showHeadEnd(int headEnd, bool show);
    void timeMain_Timer();
    void timeLoad_Timer();
    void timeDashBoardUpdate_Timer();
    void cmbView_Click();
    // The View menu's entries show the views' current names.
    void showViewNames();
    void cmdAll_Click();
    void cmdToday_Click();
    void cmdDefault_Click();
    void dtPick_Change();
    void SSTab1_Click(int previousTab);
    void StatusBar1_PanelClick(int panel);

    // Mouse on the lists: a header double click chooses the sort column; moving over a
    // cell sets the list's tool tip (row and column as the list numbers them).
    void headerDblClick(int list, int col);
    // A mouse button pressed on a list row: the right button opens the group popup on the
    // Group column of Upcoming and On-Air, else the row popup.
    void gridMouseDown(int list, Qt::MouseButton button, int row, int col, const QPoint &globalPos);
    // Add opens the event dialog for a new event (Upcoming tab only); Update and a double
    // click on a row open the dialog of the list's current event.
    void menuEventAdd_Click();
    void menuEventUp_Click();
    void gridDblClick(int list);
    // A toolbar button (also the Event menu's entries of the same name).
    void runCommand(int button);
    QMenu *menuPOP() const { return m_menuPOP; }
    QMenu *menuPOPEVENT() const { return m_menuPOPEVENT; }
    int popupSource() const { return m_popupSource; }
    void gridMouseMove(int list, int row, int col);

    // Rebuilds the lists from the event table (what changed since the last rebuild).
    void GRIDUPDATE();
    void DashBoard_Update();
    // One wheel message at a screen position: the visible list under it scrolls one row.
    void MouseWheel(int mouseKeys, int rotation, int xpos, int ypos);

    // Widgets and state, for the window's users and for tests.
    GridView *grid(int list) const { return m_grids.grid[size_t(list)]; }
    QTabWidget *tabs() const { return m_tabs; }
    QComboBox *cmbView() const { return m_cmbView; }
    QComboBox *cmbTZ() const { return m_cmbTZ; }
    QDateEdit *dtPick() const { return m_dtPick; }
    QLabel *statusPanel(int panel) const { return m_panels[size_t(panel)]; }
    QLabel *lblTime(int i) const { return m_lblTime[size_t(i)]; }
    QLabel *lblPercent() const { return m_lblPercent; }
    QLabel *dashNumber(int i) const { return m_dashNumbers[size_t(i)]; }
    QProgressBar *progCompleted() const { return m_progCompleted; }
    QWidget *picDashBoard() const { return m_picDashBoard; }
    QFrame *frameView() const { return m_frameView; }
    bool frameViewShown() const;
    QPushButton *cmdAll() const { return m_cmdAll; }
    QPushButton *cmdToday() const { return m_cmdToday; }
    QMenu *menuSettings() const { return m_menuSettings; }
    QAction *menuShHE(int headEnd) const { return m_menuShHE[size_t(headEnd)]; }
    QAction *menuVEvent(int view) const { return m_menuVEvent[size_t(view)]; }
    QAction *toolButton(int button) const { return m_buttons[size_t(button)]; }
    // The button on the toolbar that shows a command.
    QWidget *toolButtonWidget(int button) const;
    // Whether the tab rules enable a toolbar button (its command may still be missing).
    bool buttonEnabledByTab(int button) const { return m_buttonByTab[size_t(button)]; }
    bool showToday() const { return m_showToday; }
    bool dashBoardShown() const { return m_dashBoardShown; }
    bool timeDashBoardUpdateActive() const { return m_timeDashBoardUpdate.isActive(); }
    int timeDashBoardUpdateInterval() const { return m_timeDashBoardUpdate.interval(); }
    // The caption the window shows (its sub-window's title).
    QString caption() const { return windowTitle(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // Views whose ticks fall together rebuild in turns, one a pass of the event loop: no
    // stretch of it holds the rebuilds of them all, and what arrives meanwhile is read
    // between them. False while another view has this pass's turn.
    bool takeRebuildTurn() const;
    void releaseRebuildTurn() const;
    void buildMenus(QMenuBar *bar);
    void buildTop(QWidget *body);
    void buildDashBoard(QWidget *body);
    void buildTabs(QWidget *body);
    void buildStatusBar();
    void Form_Load();
    void setPanelsVisibleByMenu();
    void updateMinimumSize();
    // The height of the parts that never scroll: margins, menu bar, dashboard, the lists
    // with one row.
    int fixedHeight() const;
    // Shares what the window has left between the top and the status bar.
    void shareHeight();
    static constexpr int LeastWidth = 200;
    static constexpr int TopLeast = 30;
    static constexpr int StatusLeast = 20;
    // The height of the tabs with their lists showing a number of rows.
    int listsHeight(int rows) const;
    void restartDashBoardTimer();
    void showScopeButtons(bool today);
    void applyPrivileges();
    // The filter list's entry of the "less than" filter, which the On-Air list never takes.
    static constexpr int FilterIndexLessThan = 4;
    void setFilterIndex(int index);
    void setButtonByTab(int button, bool enabled);
    void applyButtonStates();
    GridView *currentGrid() const;
    CommandView commandView();
    void setSortAndCountPanels(int tab);
    int zoneIndex() const;
    ViewOptions options() const;
    void runGuarded(const char *label, const std::function<void()> &work);
    void handleWheel(QWheelEvent *wheel);
    void watchWheel();

    int m_view;
    QPointer<MDIMain> m_main;
    // Started with "IDE": the lists keep the standard wheel handling.
    bool m_wheelHooked;
    // Controls whose value the wheel would change.
    QSet<QObject *> m_wheelGuarded;
    SharedLists m_lists;
    EventGrids m_grids;

    QMenu *m_menuSettings = nullptr;
    std::array<QAction *, MaxHeadEnds + 1> m_menuShHE{};
    std::array<QAction *, 9> m_menuVEvent{};
    QAction *m_menuEventAdd = nullptr;
    QAction *m_menuEventHold = nullptr;
    QAction *m_menuEventSub = nullptr;
    QAction *m_menuEventInt = nullptr;
    QMenu *m_menuPOP = nullptr;
    std::array<QAction *, MaxGroups + 1> m_menuPOPGROUP{};
    QMenu *m_menuPOPEVENT = nullptr;
    QAction *m_menuPEDelete = nullptr;
    QAction *m_menuPEHold = nullptr;
    QAction *m_menuPEActive = nullptr;
    QAction *m_menuPESubNow = nullptr;
    QAction *m_menuPEIntRes = nullptr;
    QAction *m_menuPECopyMediaPoint = nullptr;

    QMenuBar *m_menuBar = nullptr;
    ViewToolBar *m_top = nullptr;
    QScrollArea *m_topArea = nullptr;
    QScrollArea *m_statusArea = nullptr;
    QWidget *m_toolbar = nullptr;
    std::array<QAction *, ButtonCount + 1> m_buttons{};
    std::array<bool, ButtonCount + 1> m_buttonByTab{};

    QFrame *m_frame1 = nullptr;
    QComboBox *m_cmbTZ = nullptr;
    std::array<QLabel *, 2> m_lblTime{};
    QFrame *m_frameView = nullptr;
    QPushButton *m_cmdDefault = nullptr;
    QComboBox *m_cmbView = nullptr;
    QDateEdit *m_dtPick = nullptr;

    QWidget *m_body = nullptr;
    QWidget *m_picDashBoard = nullptr;
    QPushButton *m_cmdAll = nullptr;
    QPushButton *m_cmdToday = nullptr;
    QProgressBar *m_progCompleted = nullptr;
    QLabel *m_lblPercent = nullptr;
    std::array<QLabel *, 8> m_dashNumbers{};

    QTabWidget *m_tabs = nullptr;
    ViewStatusBar *m_statusBar = nullptr;
    std::array<QLabel *, StatusPanels + 1> m_panels{};

    QTimer m_timeMain;
    QTimer m_timeLoad;
    QTimer m_timeDashBoardUpdate;

    int m_tzBias = 480;
    std::array<bool, MaxHeadEnds + 1> m_enabledAtActivate{};
    bool m_showToday = false;
    bool m_dashBoardShown = false;
    bool m_inFilterClick = false;
    int m_currentTab = 0;
    // The list whose Group cell opened the group popup (1 Upcoming, 2 On-Air).
    int m_popupSource = 0;
    // What the open popup acts on, taken when it opened.
    struct PopupTarget
    {
        int list = 0;
        CommandView view;
        std::vector<CommandRow> rows;
        GroupList group;
    } m_popupTarget;
};

} // namespace vek
