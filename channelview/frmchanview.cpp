#include "frmchanview.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QWheelEvent>

#include "channelcommands.h"
#include "channelwindows.h"
#include "chanviewdelegate.h"
#include "chanviewgrid.h"
#include "chanviewmodel.h"
#include "core/channeltable.h"
#include "core/log.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/startupstate.h"
#include "dialogs/commandreach.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "platform/widgets/twips.h"

namespace vek {

namespace {

const QString Caption = QStringLiteral("Channel View");

// Positions of the fixed parts, in twips: the buttons stand in a column left of the list.
constexpr int Margin = 135;
constexpr int HeadTop = 90;
constexpr int HeadHeight = 330;
constexpr int ListLeft = 1005;
constexpr int ViewTop = 540;
constexpr int ViewHeight = 300;
constexpr int GridTop = 945;
constexpr int ButtonWidth = 435;
constexpr int ButtonHeight = 330;
constexpr int ButtonGap = 60;

int px(int twips)
{
    return twipsToPixels(twips);
}

} // namespace

frmChanView::frmChanView(QWidget *parent)
    : QWidget(parent), m_model(new ChanViewModel(this)), m_grid(new QTableView(this)),
      m_lblHead(new QLabel(this)), m_lblView(new QLabel(this)), m_wheelHooked(!RunningInIDE())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);

    QFont headFont = m_lblHead->font();
    headFont.setBold(true);
    headFont.setPointSize(headFont.pointSize() + 2);
    m_lblHead->setFont(headFont);
    m_lblHead->setGeometry(px(Margin), px(HeadTop), px(ChanViewWidth - 270), px(HeadHeight));
    QFont viewFont = m_lblView->font();
    viewFont.setBold(true);
    m_lblView->setFont(viewFont);
    m_lblView->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_lblView->setGeometry(px(ListLeft), px(ViewTop), px(ChanViewWidth - 1080), px(ViewHeight));

    auto *heading = new QLabel(QStringLiteral("Head End"), this);
    heading->setGeometry(px(Margin / 2), px(ViewTop), px(ListLeft), px(ViewHeight));
    int y = ViewTop + ViewHeight;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        auto *b = new ChanViewButton(this);
        const int col = (he - 1) % 2;
        const int row = (he - 1) / 2;
        b->setGeometry(px(Margin / 2 + col * (ButtonWidth + ButtonGap)),
                       px(y + row * (ButtonHeight + ButtonGap)), px(ButtonWidth), px(ButtonHeight));
        b->setCaption(QStringLiteral("HE%1").arg(he));
        connect(b, &ChanViewButton::clicked, this, [this, he] { headEndButton_Click(he); });
        m_imgBut[size_t(he)] = b;
    }
    y += 6 * (ButtonHeight + ButtonGap) + ButtonGap;
    auto *views = new QLabel(QStringLiteral("Views"), this);
    views->setGeometry(px(Margin / 2), px(y), px(ListLeft), px(ViewHeight));
    y += ViewHeight;
    for (int k = 0; k < ChanViewFilters; ++k) {
        auto *b = new ChanViewButton(this);
        const ChanViewFilterTexts t = chanViewFilterTexts(k);
        // One view button to a row: their captions are longer than a head end's.
        b->setGeometry(px(Margin / 2), px(y + k * (ButtonHeight + ButtonGap)),
                       px(2 * ButtonWidth + ButtonGap), px(ButtonHeight));
        b->setCaption(t.button);
        b->setTips(t.labelTip, t.pictureTip);
        b->setPicture(ChanViewButton::View);
        connect(b, &ChanViewButton::clicked, this, [this, k] { viewButton_Click(k); });
        m_imgButView[size_t(k)] = b;
    }

    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new ChanViewDelegate(m_grid));
    m_grid->move(px(ListLeft), px(GridTop));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The index columns are 10 twips wide: narrower than any header would allow by itself.
    m_grid->horizontalHeader()->setMinimumSectionSize(0);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setWordWrap(false);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->viewport()->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { gridCV_DblClick(at.row() + 1, at.column()); });

    Form_Load();
}

frmChanView::~frmChanView()
{
    // Released without a close: no refresh reaches it any more, unless a newer window
    // already took its place.
    if (chanView() == this)
        CVHeadEnd() = 0;
}

void frmChanView::Form_Load()
{
    try {
        resize(px(ChanViewWidth), px(ChanViewHeight));
        for (int c = 0; c < ChanViewColumns; ++c)
            setColumnWidthTwips(c, ChanViewColumnTwips);
        setColumnWidthTwips(2, 10);
        setColumnWidthTwips(3, 10);
        setColumnWidthTwips(6, 0);
        setColumnWidthTwips(7, 0);
        if (CVHeadEnd() == 0)
            CVHeadEnd() = 1;
        const int points = chanViewFontPoints(settings().FontIndex);
        if (points > 0) {
            QFont f = m_grid->font();
            f.setPointSize(points);
            m_grid->setFont(f);
            m_grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
        }
        FillChanView();
    } catch (const Failure &f) {
        logError("Error frmChanView_Form_Load)", f);
    }
}

void frmChanView::setColumnWidthTwips(int col, int twips)
{
    if (twips <= 0) {
        m_grid->setColumnHidden(col, true);
        return;
    }
    m_grid->setColumnHidden(col, false);
    m_grid->setColumnWidth(col, twipsToPixels(twips));
}

int frmChanView::columnWidthTwips(int col) const
{
    return m_grid->isColumnHidden(col) ? 0 : pixelsToTwips(m_grid->columnWidth(col));
}

ChanViewButton *frmChanView::headEndButton(int headEnd) const
{
    return validHeadEnd(headEnd) ? m_imgBut[size_t(headEnd)] : nullptr;
}

ChanViewButton *frmChanView::viewButton(int filter) const
{
    return filter >= 0 && filter < ChanViewFilters ? m_imgButView[size_t(filter)] : nullptr;
}

void frmChanView::FillChanView()
{
    const int he = CVHeadEnd();
    if (!validHeadEnd(he))
        return;
    const Settings &s = settings();
    for (int i = 1; i <= MaxHeadEnds; ++i) {
        m_imgBut[size_t(i)]->setCaption(fromBytes(s.HEShortName[size_t(i)]));
        m_imgBut[size_t(i)]->setTips(fromBytes(s.HEName[size_t(i)]),
                                     fromBytes(s.HEName[size_t(i)]));
        m_imgBut[size_t(i)]->setPicture(i == he ? ChanViewButton::HeadEndShown
                                                : ChanViewButton::HeadEnd);
    }
    for (int k = 0; k < ChanViewFilters; ++k) {
        m_imgButView[size_t(k)]->setPicture(k == CVFilter() ? ChanViewButton::ViewChosen
                                                            : ChanViewButton::View);
    }
    m_lblHead->setText(fromBytes(s.HEName[size_t(he)]));
    m_lblView->setText(chanViewFilterTexts(CVFilter()).listCaption);

    // The list paints once, when it is complete.
    m_grid->setUpdatesEnabled(false);
    const int top = m_grid->verticalScrollBar()->value();
    m_model->setGrid(buildChanViewGrid(he, CVFilter()));
    m_grid->verticalScrollBar()->setValue(top);
    m_grid->setUpdatesEnabled(true);
}

void frmChanView::headEndButton_Click(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return;
    CVHeadEnd() = qint16(headEnd);
    FillChanView();
}

void frmChanView::viewButton_Click(int filter)
{
    if (filter < 0 || filter >= ChanViewFilters)
        return;
    CVFilter() = qint16(filter);
    FillChanView();
}

int frmChanView::channelAt(int row, int col) const
{
    int indexCol = -1;
    if (col == 0 || col == 1)
        indexCol = 3;
    else if (col == 4 || col == 5)
        indexCol = 7;
    if (indexCol < 0)
        return -1;
    const double value = leadingValue(m_model->textMatrix(row, indexCol));
    return value >= 0 && value <= MaxChannel ? int(std::nearbyint(value)) : -1;
}

void frmChanView::gridCV_DblClick(int row, int col)
{
    CVChannel().clear();
    if (col == 0 || col == 1)
        CVChannel() = m_model->textMatrix(row, 3);
    else if (col == 4 || col == 5)
        CVChannel() = m_model->textMatrix(row, 7);
    if (!trimBlanks(CVChannel()).isEmpty())
        showChannelControl(this);
}

void frmChanView::gridCV_MouseDown(Qt::MouseButton button, int row, int col)
{
    if (button != Qt::RightButton)
        return;
    const int he = CVHeadEnd();
    const QByteArray body = qcMonitorTake(he, channelAt(row, col), col == 0 || col == 4);
    if (!body.isEmpty() && commandReaches(he, this))
        SendHS(he, body, 0);
}

void frmChanView::gridCV_MouseMove(int row, int col)
{
    const int he = CVHeadEnd();
    const int ch = qMax(0, channelAt(row, col));
    if (!validHeadEnd(he) || (col != 0 && col != 1 && col != 4 && col != 5))
        return;
    const ChannelEntry &c = Channel(he, ch);
    m_grid->setToolTip(fromBytes(col == 0 || col == 4 ? c.SrcName : c.ChanDesc));
}

void frmChanView::MouseWheel(int, int rotation, int xpos, int ypos)
{
    const QPoint at(xpos, ypos);
    if (m_grid->isVisible() &&
        QRect(m_grid->mapToGlobal(QPoint(0, 0)), m_grid->size()).contains(at)) {
        QScrollBar *bar = m_grid->verticalScrollBar();
        // One row per message; the scroll bar counts rows.
        bar->setValue(rotation < 1 ? qMin(bar->value() + 1, bar->maximum())
                                   : qMax(bar->value() - 1, 0));
        return;
    }
    setCaption(QStringLiteral("Form Scroll ") +
               (rotation < 0 ? QStringLiteral("Down") : QStringLiteral("Up")));
}

void frmChanView::Form_Activate()
{
    setCaption(Caption);
}

void frmChanView::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(caption);
}

void frmChanView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int width = pixelsToTwips(this->width());
    const int height = pixelsToTwips(this->height());
    if (const int h = chanViewGridHeight(height); h >= 0)
        m_grid->resize(m_grid->width(), px(h));
    if (const int w = chanViewGridWidth(width); w >= 0)
        m_grid->resize(px(w), m_grid->height());
    fitColumns();
    if (const int w = chanViewHeadWidth(width); w >= 0)
        m_lblHead->resize(px(w), m_lblHead->height());
    if (const int w = chanViewGridWidth(width); w >= 0)
        m_lblView->resize(px(w), m_lblView->height());
}

void frmChanView::fitColumns()
{
    // The four text columns share what the list shows besides the index columns, so the
    // two pairs always fit side by side without a horizontal scroll bar (the vertical one,
    // when there, takes its part first).
    int rest = m_grid->viewport()->width();
    for (const int c : {2, 3, 6, 7})
        rest -= m_grid->isColumnHidden(c) ? 0 : m_grid->columnWidth(c);
    const int text = qMax(0, rest / 4);
    for (const int c : {0, 1, 4, 5}) {
        m_grid->setColumnHidden(c, text == 0);
        if (text > 0 && m_grid->columnWidth(c) != text)
            m_grid->setColumnWidth(c, text);
    }
}

void frmChanView::closeEvent(QCloseEvent *event)
{
    CVHeadEnd() = 0;
    QWidget::closeEvent(event);
}

void frmChanView::wheelEvent(QWheelEvent *event)
{
    if (!m_wheelHooked) {
        QWidget::wheelEvent(event);
        return;
    }
    event->accept();
    if (event->angleDelta().y() == 0)
        return;
    const QPoint global = event->globalPosition().toPoint();
    MouseWheel(int(event->buttons()), event->angleDelta().y(), global.x(), global.y());
}

bool frmChanView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport()) {
        if (event->type() == QEvent::Resize)
            fitColumns();
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                const QModelIndex at = m_grid->indexAt(mouse->position().toPoint());
                if (at.isValid())
                    gridCV_MouseDown(mouse->button(), at.row() + 1, at.column());
                return true;
            }
        } else if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QModelIndex at = m_grid->indexAt(help->pos());
            if (at.isValid())
                gridCV_MouseMove(at.row() + 1, at.column());
            if (m_grid->toolTip().isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), m_grid->toolTip(), m_grid);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && m_wheelHooked &&
        (watched == m_grid->viewport() || watched == m_grid)) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vek
