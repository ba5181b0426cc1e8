#include "frmview.h"

#include <QComboBox>

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/log.h"
#include "core/selection.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "eventview/dashboard.h"
#include "eventview/eventviews.h"
#include "eventview/viewstatusbar.h"
#include "eventview/viewtables.h"
#include "eventview/viewtoolbar.h"
#include "platform/text.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/flowlayout.h"
#include "platform/widgets/gridview.h"
#include "platform/widgets/twips.h"

namespace vek {

// The Event View's window and its layout; its handlers are in the frmview*.cpp files beside it.

namespace {

int px(int twips)
{
    return twipsToPixels(twips);
}

QScrollArea *overflowArea(QWidget *content, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setWidget(content);
    return area;
}

const char *const DashCaptions[8] = {"Total",   "Upcoming",   "On-Air",    "Less Than 30 Min",
                                     "On Hold", "Interupted", "Completed", "Problem"};

} // namespace

frmView::frmView(int view, MDIMain *main, QWidget *parent)
    : QWidget(parent), m_view(view), m_main(main),
      m_wheelHooked(!(main && main->core() && main->core()->runningInIDE()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("VEK Event View"));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *bar = new QMenuBar(this);
    m_menuBar = bar;
    buildMenus(bar);
    // Inside the main window the menus show in its menu bar while this view is active;
    // a view on its own shows them itself.
    if (main) {
        bar->hide();
        main->setChildMenus(this, bar->actions());
    } else {
        outer->setMenuBar(bar);
    }
    m_body = new QWidget(this);
    outer->addWidget(m_body, 1);
    // Top to bottom: toolbar and options, the dashboard (when on), the lists.
    auto *body = new QVBoxLayout(m_body);
    body->setContentsMargins(px(120), 0, px(120), 0);
    body->setSpacing(2);
    buildTop(m_body);
    buildDashBoard(m_body);
    buildTabs(m_body);
    // The top and the status bar scroll where a small window (a tile among many) leaves
    // them less than they need: the lists keep their row, every control stays reachable.
    m_topArea = overflowArea(m_top, m_body);
    body->addWidget(m_topArea);
    body->addWidget(m_picDashBoard);
    body->addWidget(m_tabs, 1);
    buildStatusBar();
    m_statusArea = overflowArea(m_statusBar, this);
    outer->addWidget(m_statusArea);

    // F1..F12 toggle the head ends of this view wherever the focus is inside it.
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        auto *key = new QShortcut(QKeySequence(Qt::Key_F1 + (he - 1)), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, he] { menuShHE_Click(he); });
    }

    m_timeMain.setInterval(100);
    connect(&m_timeMain, &QTimer::timeout, this, &frmView::timeMain_Timer);
    m_timeLoad.setInterval(100);
    m_timeLoad.setSingleShot(true);
    connect(&m_timeLoad, &QTimer::timeout, this, &frmView::timeLoad_Timer);
    m_timeDashBoardUpdate.setInterval(2000);
    connect(&m_timeDashBoardUpdate, &QTimer::timeout, this, &frmView::timeDashBoardUpdate_Timer);

    // A renamed view shows in this view's menu at once, not only at its next activation.
    if (main)
        connect(main, &MDIMain::viewNamesChanged, this, &frmView::showViewNames);

    watchWheel();
    resize(defaultSize());
    Form_Load();
    m_timeMain.start();
    m_timeDashBoardUpdate.start();
}

frmView::~frmView()
{
    releaseRebuildTurn();
    if (EventViews()[size_t(m_view)] == this)
        EventViews()[size_t(m_view)] = nullptr;
}

void frmView::showViewNames()
{
    for (int v = 1; v <= ViewCount; ++v)
        m_menuVEvent[size_t(v)]->setText(fromBytes(viewMenuCaption(v)));
}

void frmView::buildTop(QWidget *body)
{
    m_top = new ViewToolBar(body);
    m_toolbar = m_top->toolbar();
    for (int b = 1; b <= ButtonCount; ++b) {
        m_buttons[size_t(b)] = m_top->button(b);
        connect(m_buttons[size_t(b)], &QAction::triggered, this, [this, b] { runCommand(b); });
    }
    m_buttonByTab = {false, true, true, true, true, true, true, true, false, false};
    applyButtonStates();

    m_frame1 = m_top->frameTZ();
    m_cmbTZ = m_top->cmbTZ();
    m_lblTime = {m_top->lblTime(0), m_top->lblTime(1)};
    m_frameView = m_top->frameView();
    m_cmdDefault = m_top->cmdDefault();
    m_cmbView = m_top->cmbView();
    m_dtPick = m_top->dtPick();
    connect(m_cmdDefault, &QPushButton::clicked, this, &frmView::cmdDefault_Click);
    connect(m_cmbView, &QComboBox::activated, this, [this] { cmbView_Click(); });
    connect(m_dtPick, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_dtPick->setToolTip(QLocale::c().toString(d, QStringLiteral("dddd, MMM d yyyy")));
        dtPick_Change();
    });
}

void frmView::buildDashBoard(QWidget *body)
{
    m_picDashBoard = new QFrame(body);
    static_cast<QFrame *>(m_picDashBoard)->setFrameShape(QFrame::StyledPanel);
    // The figures wrap onto further lines in a narrow window rather than cut their captions.
    auto *row = new FlowLayout(m_picDashBoard, 6);
    row->setContentsMargins(4, 2, 4, 2);
    auto *scopeBox = new QWidget(m_picDashBoard);
    auto *scope = new QVBoxLayout(scopeBox);
    scope->setContentsMargins(0, 0, 0, 0);
    m_cmdAll = new QPushButton(QStringLiteral("All"), scopeBox);
    m_cmdToday = new QPushButton(QStringLiteral("Today"), scopeBox);
    connect(m_cmdAll, &QPushButton::clicked, this, &frmView::cmdAll_Click);
    connect(m_cmdToday, &QPushButton::clicked, this, &frmView::cmdToday_Click);
    showScopeButtons(false);
    scope->addWidget(m_cmdAll);
    scope->addWidget(m_cmdToday);
    row->addWidget(scopeBox);
    for (int i = 0; i < 8; ++i) {
        auto *cellBox = new QWidget(m_picDashBoard);
        auto *cell = new QVBoxLayout(cellBox);
        cell->setContentsMargins(0, 0, 0, 0);
        cell->addWidget(new QLabel(QString::fromLatin1(DashCaptions[i]), cellBox));
        m_dashNumbers[size_t(i)] = new QLabel(QStringLiteral("0"), cellBox);
        QFont f = m_dashNumbers[size_t(i)]->font();
        f.setBold(true);
        m_dashNumbers[size_t(i)]->setFont(f);
        // Room for the largest count, so the figures never push the captions out.
        m_dashNumbers[size_t(i)]->setMinimumWidth(
            QFontMetrics(f).horizontalAdvance(QStringLiteral("000000")));
        cell->addWidget(m_dashNumbers[size_t(i)]);
        row->addWidget(cellBox);
    }
    auto *doneBox = new QWidget(m_picDashBoard);
    auto *done = new QVBoxLayout(doneBox);
    done->setContentsMargins(0, 0, 0, 0);
    m_lblPercent = new QLabel(QStringLiteral("% Completed"), doneBox);
    m_lblPercent->setMinimumWidth(
        m_lblPercent->fontMetrics().horizontalAdvance(QStringLiteral("100 % Completed")) + 4);
    m_progCompleted = new QProgressBar(doneBox);
    m_progCompleted->setRange(0, 100);
    m_progCompleted->setValue(0);
    m_progCompleted->setTextVisible(false);
    done->addWidget(m_lblPercent);
    done->addWidget(m_progCompleted);
    row->addWidget(doneBox);
    m_picDashBoard->hide();
}

void frmView::buildTabs(QWidget *body)
{
    m_tabs = new QTabWidget(body);
    const char *const titles[3] = {"Upcoming", "Substituted (On-Air)", "As Run Log"};
    for (int list = 1; list <= EventListCount; ++list) {
        auto *g = new GridView(m_tabs);
        // The widths in twips were made for a small font: in the list's own font they are
        // shown at a scale that lets their texts fit.
        g->setTwipsPerPixel(listTwipsPerPixel(*g));
        m_grids.grid[size_t(list)] = g;
        m_tabs->addTab(g, QString::fromLatin1(titles[list - 1]));
        g->viewport()->installEventFilter(this);
        connect(g->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
                [this, list](int col) { headerDblClick(list, col); });
        connect(g, &QAbstractItemView::doubleClicked, this, [this, list] { gridDblClick(list); });
    }
    // The lists give way first when the window is short, down to their header, the blank
    // row and one event row.
    m_tabs->setMinimumHeight(listsHeight(2));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        const int previous = m_currentTab;
        m_currentTab = tab;
        SSTab1_Click(previous);
    });
}

void frmView::buildStatusBar()
{
    m_statusBar = new ViewStatusBar(this);
    for (int p = 1; p <= StatusPanels; ++p) {
        m_panels[size_t(p)] = m_statusBar->panel(p);
        m_panels[size_t(p)]->installEventFilter(this);
    }
}

void frmView::setPanelsVisibleByMenu()
{
    for (int he = 1; he <= MaxHeadEnds; ++he)
        m_panels[size_t(he)]->setVisible(m_menuShHE[size_t(he)]->isChecked());
    updateMinimumSize();
}

void frmView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmView::Form_Resize()
{
    if (isMinimized())
        return;
    // The layout places the parts: the top, the dashboard when it is on, the lists taking
    // the rest. The lists keep the tab width of the window's outer width less 330 twips.
    m_picDashBoard->setVisible(m_dashBoardShown);
    const bool narrow = pixelsToTwips(width()) - 330 < 5200;
    m_tabs->setTabText(0, narrow ? QStringLiteral("Up") : QStringLiteral("Upcoming"));
    m_tabs->setTabText(1,
                       narrow ? QStringLiteral("On-Air") : QStringLiteral("Substituted (On-Air)"));
    m_tabs->setTabText(2, narrow ? QStringLiteral("Log") : QStringLiteral("As Run Log"));
    updateMinimumSize();
    shareHeight();
}

int frmView::fixedHeight() const
{
    const QMargins m = m_body->layout()->contentsMargins();
    const int spacing = m_body->layout()->spacing();
    int height = m.top() + m.bottom() + spacing + listsHeight(2);
    if (m_menuBar->isVisibleTo(this))
        height += m_menuBar->heightForWidth(width()) > 0 ? m_menuBar->heightForWidth(width())
                                                         : m_menuBar->sizeHint().height();
    if (m_dashBoardShown)
        height += m_picDashBoard->heightForWidth(width() - m.left() - m.right()) + spacing;
    return height;
}

void frmView::shareHeight()
{
    // What the top and the status bar need whole at this width; where the window is shorter,
    // the status bar keeps a line and the top the rest, both scrolling.
    const QMargins m = m_body->layout()->contentsMargins();
    const int inner = width() - m.left() - m.right();
    const int top = m_top->heightForWidth(qMax(inner, m_top->minimumSizeHint().width())) +
                    (inner < m_top->minimumSizeHint().width()
                         ? m_topArea->horizontalScrollBar()->sizeHint().height()
                         : 0);
    const int status = m_statusBar->heightForWidth(width());
    const int room = height() - fixedHeight();
    int statusHeight = status;
    int topHeight = top;
    if (room < top + status) {
        statusHeight = qMin(status, qMax(StatusLeast, room - top));
        topHeight = qMax(TopLeast, room - statusHeight);
    }
    // A scroll bar only where a part is short: one left from a shorter moment would narrow
    // the part and make it wrap onto a line it has no room for.
    m_topArea->setVerticalScrollBarPolicy(topHeight < top ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
    m_statusArea->setVerticalScrollBarPolicy(statusHeight < status ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
    m_topArea->setFixedHeight(topHeight);
    m_statusArea->setFixedHeight(statusHeight);
}

int frmView::listsHeight(int rows) const
{
    const GridView *g = m_grids.grid[ListUpcoming];
    return m_tabs->tabBar()->sizeHint().height() + g->horizontalHeader()->sizeHint().height() +
           rows * g->verticalHeader()->defaultSectionSize() +
           g->horizontalScrollBar()->sizeHint().height() + 2 * g->frameWidth() + 2;
}

int frmView::minimumHeightFor(int width) const
{
    return heightForRows(width, 1);
}

// Rows are event rows: the list's blank first row comes on top of them.

int frmView::heightForRows(int width, int rows) const
{
    const QMargins m = m_body->layout()->contentsMargins();
    const int spacing = m_body->layout()->spacing();
    const int inner = width - m.left() - m.right();
    // Narrower than its widest control, the top cannot show whole at any height.
    if (inner < m_top->minimumSizeHint().width())
        return QWIDGETSIZE_MAX;
    int height = m.top() + m.bottom() + m_top->heightForWidth(inner) + spacing +
                 listsHeight(rows + 1) + m_statusBar->heightForWidth(width);
    if (m_menuBar->isVisibleTo(this))
        height += m_menuBar->heightForWidth(width) > 0 ? m_menuBar->heightForWidth(width)
                                                       : m_menuBar->sizeHint().height();
    if (m_dashBoardShown)
        height += m_picDashBoard->heightForWidth(inner) + spacing;
    return height;
}

void frmView::updateMinimumSize()
{
    // The lists keep their header and a row, the top and the status bar a line each (they
    // scroll), the dashboard when on stays whole.
    const QSize least(LeastWidth, fixedHeight() + TopLeast + StatusLeast);
    if (least == minimumSize())
        return;
    setMinimumSize(least);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setMinimumSize(sub->minimumSizeHint());
}

QSize frmView::defaultSize() const
{
    // At least 7000 x 4000 twips; wide enough for the dashboard's figures and the
    // toolbar's buttons, high enough for a few rows of a list with the dashboard on.
    const QMargins m = m_body->layout()->contentsMargins();
    const int width = std::max({px(7000), m_picDashBoard->sizeHint().width() + m.left() + m.right(),
                                m_toolbar->sizeHint().width() + m.left() + m.right()});
    const bool dashBoard = m_dashBoardShown;
    const int extraRows = listsHeight(4) - m_tabs->minimumHeight();
    int height = minimumHeightFor(width) + extraRows;
    if (!dashBoard)
        height += m_picDashBoard->heightForWidth(width - m.left() - m.right()) +
                  m_body->layout()->spacing();
    return QSize(width, qMax(px(4000), height));
}

QWidget *frmView::toolButtonWidget(int button) const
{
    if (button < 1 || button > ButtonCount)
        return nullptr;
    return m_top->buttonWidget(button);
}

} // namespace vek
