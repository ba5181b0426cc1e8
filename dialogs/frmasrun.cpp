#include "frmasrun.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "asrunform.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/log.h"
#include "core/selection.h"
#include "eventdates.h"
#include "formparts.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/typinglimit.h"

namespace vek {

frmAsRun *frmAsRun::open(QWidget *parent)
{
    auto *dialog = new frmAsRun(parent);
    showInFront(dialog);
    return dialog;
}

frmAsRun::frmAsRun(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    buildForm();
    Form_Load();
    installEventDialogKeys(this, m_cmdOK, m_cmdCancel);
    DeactivationCloser::install(this);
}

namespace {
// Adds a caption and its value label at (row, column pair); the value is named.
QLabel *addValue(QGridLayout *grid, QWidget *frame, const char *name, const QString &caption,
                 int row, int pair, int span = 1)
{
    QLabel *value = makeValue(frame);
    value->setObjectName(QString::fromLatin1(name));
    grid->addWidget(makeCaption(caption, frame), row, pair * 2);
    grid->addWidget(value, row, pair * 2 + 1, 1, span);
    return value;
}
} // namespace

void frmAsRun::buildForm()
{
    setWindowTitle(QStringLiteral("As Run"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QGridLayout *grid = nullptr;
    QList<QGridLayout *> grids;
    QGroupBox *scheduling = makeFrame(QStringLiteral("Scheduling"), this, &grid);
    addValue(grid, scheduling, "lblHE", QStringLiteral("Head End"), 0, 0);
    addValue(grid, scheduling, "lblGroup", QStringLiteral("Group #"), 0, 1);
    addValue(grid, scheduling, "lblSDate", QStringLiteral("Start Date"), 1, 0);
    addValue(grid, scheduling, "lblEDate", QStringLiteral("End Date"), 1, 1);
    addValue(grid, scheduling, "lblStart", QStringLiteral("Start Time"), 2, 0);
    addValue(grid, scheduling, "lblEnd", QStringLiteral("End Time"), 2, 1);
    addValue(grid, scheduling, "lblDur", QStringLiteral("Duration"), 3, 0);
    addValue(grid, scheduling, "lblDes", QStringLiteral("Destination"), 4, 0, 3)
        ->setMinimumWidth(320);
    addValue(grid, scheduling, "lblSRC", QStringLiteral("Source"), 5, 0, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(scheduling);
    grids.append(grid);

    QGroupBox *attributes = makeFrame(QStringLiteral("Attributes"), this, &grid);
    addValue(grid, attributes, "lblDesc", QStringLiteral("Description"), 0, 0, 3);
    addValue(grid, attributes, "lblComments", QStringLiteral("Comments"), 1, 0, 3);
    addValue(grid, attributes, "lblStat", QStringLiteral("Status"), 2, 0);
    addValue(grid, attributes, "lblControl", QStringLiteral("Automation"), 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(attributes);
    grids.append(grid);

    QGroupBox *asRun = makeFrame(QStringLiteral("As Run Information"), this, &grid);
    addValue(grid, asRun, "lblAStart", QStringLiteral("Actual Start Time"), 0, 0);
    addValue(grid, asRun, "lblAEnd", QStringLiteral("Actual End Time"), 0, 1);
    addValue(grid, asRun, "lblADur", QStringLiteral("Actual Duration"), 1, 0);
    m_lblName = addValue(grid, asRun, "lblName", QStringLiteral("Operator Name"), 1, 1);
    m_cmbCOM = new QComboBox(asRun);
    m_cmbCOM->setEditable(true);
    m_cmbCOM->setInsertPolicy(QComboBox::NoInsert);
    m_cmbCOM->setMaxVisibleItems(24);
    m_cmbCOM->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbCOM->setMinimumContentsLength(40);
    // Typing is limited; a quick comment chosen from the list is taken whole.
    TypingLimit::apply(m_cmbCOM, AsRunCommentLimit);
    grid->addWidget(makeCaption(QStringLiteral("Operator Comments"), asRun), 2, 0);
    grid->addWidget(m_cmbCOM, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(asRun);
    grids.append(grid);

    alignGrids(grids);

    auto *buttons = new QHBoxLayout;
    m_cmdOK = new QPushButton(QStringLiteral("Update Event"), this);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdOK->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAsRun::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmAsRun::cmdCancel_Click);
}

QLabel *frmAsRun::label(const char *name) const
{
    return findChild<QLabel *>(QString::fromLatin1(name));
}

void frmAsRun::Form_Load()
{
    try {
        setWindowTitle(QStringLiteral("As Run (") + fromBytes(viewName(SelView())) + ')');
        // The logged-in user until the event's own state is known.
        m_lblName->setText(asRunState(EventRec()).operatorName);
        // The list is wide enough for the longest comment; one cut all the same ends with
        // "..." and shows itself whole as its tip.
        int widest = 0;
        for (const QByteArray &c : quickComments()) {
            const QString text = fromBytes(c);
            m_cmbCOM->addItem(text);
            m_cmbCOM->setItemData(m_cmbCOM->count() - 1, text, Qt::ToolTipRole);
            widest = qMax(widest, m_cmbCOM->view()->fontMetrics().horizontalAdvance(text));
        }
        m_cmbCOM->view()->setTextElideMode(Qt::ElideRight);
        m_cmbCOM->view()->setMinimumWidth(widest + 40);

        m_event = EventRef::capture(SelHE(), SelCh());
        if (!EventTable::validIndex(SelHE(), SelCh()))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        const EventRec &r = Events().at(SelHE(), SelCh());
        label("lblHE")->setText(fromBytes(headEndName(SelHE())));
        label("lblGroup")->setText(fromBytes(r.GroupText));
        label("lblSDate")->setText(fromBytes(shortDate(r.EventDate)));
        label("lblStart")->setText(fromBytes(r.StartTime));
        label("lblEnd")->setText(fromBytes(r.EndTime));
        label("lblEDate")->setText(fromBytes(shortDate(keyDate(r.EndKey))));
        label("lblDur")->setText(fromBytes(r.Duration));
        label("lblSRC")->setText(fromBytes(r.SrcText));
        label("lblDes")->setText(fromBytes(r.DestText));
        label("lblDesc")->setText(fromBytes(r.Description));
        label("lblStat")->setText(fromBytes(StatusText(r.Status, r.StatusDetail)));
        label("lblComments")->setText(fromBytes(r.Comments));
        label("lblControl")->setText(fromBytes(automationText(r.Automation).toByteArray()));
        label("lblAStart")->setText(fromBytes(r.ActualStart));
        label("lblAEnd")->setText(fromBytes(r.ActualEnd));
        label("lblADur")->setText(fromBytes(r.ActualDur));
        m_cmbCOM->setCurrentIndex(-1);
        m_cmbCOM->setEditText(fromBytes(r.OpComment));

        // The record itself says whether it already carries a comment and whose it is.
        const AsRunState state = asRunState(r);
        m_readOnly = state.readOnly;
        m_lblName->setText(state.operatorName);
        m_cmbCOM->setEnabled(!m_readOnly);
        m_cmdOK->setEnabled(!m_readOnly);
    } catch (const Failure &f) {
        logError("Error frmAsRun_Form_Load)", f);
    }
}

void frmAsRun::cmdOK_Click()
{
    if (!submitAsRun(m_cmbCOM->currentText(), m_event, this))
        return;
    close();
    deleteLater();
}

void frmAsRun::cmdCancel_Click()
{
    close();
    deleteLater();
}

} // namespace vek
