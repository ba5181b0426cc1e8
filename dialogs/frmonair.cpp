#include "frmonair.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/channelentries.h"
#include "core/convert.h"
#include "core/eventtable.h"
#include "core/log.h"
#include "core/selection.h"
#include "datepanel.h"
#include "eventdates.h"
#include "formparts.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"

namespace vek {

namespace {
constexpr int TextLimit = 50;
} // namespace

frmOnAir *frmOnAir::open(QWidget *parent)
{
    auto *dialog = new frmOnAir(parent);
    showInFront(dialog);
    return dialog;
}

frmOnAir::frmOnAir(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    buildForm();
    Form_Load();
    installEventDialogKeys(this, m_cmdUpdate, m_cmdCancel, m_picDate);
    DeactivationCloser::install(this);
}

void frmOnAir::buildForm()
{
    setWindowTitle(QStringLiteral("On-Air"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QGridLayout *grid = nullptr;
    QList<QGridLayout *> grids;
    QGroupBox *scheduling = makeFrame(QStringLiteral("Scheduling"), this, &grid);
    m_lblHE = makeValue(scheduling);
    m_cmbGroup = new QComboBox(scheduling);
    m_cmbGroup->setMinimumWidth(110);
    m_lblSDate = makeValue(scheduling);
    m_cmdEDate = new QPushButton(QStringLiteral("End Date"), scheduling);
    m_mtxtStart = makeTimeBox(scheduling);
    m_mtxtStart->setReadOnly(true); // shown only: an on-air event keeps its start
    QPalette shown = m_mtxtStart->palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    m_mtxtStart->setPalette(shown);
    m_mtxtEnd = makeTimeBox(scheduling);
    m_mtxtDur = makeTimeBox(scheduling);
    m_lblDes = makeValue(scheduling);
    m_lblSRC = makeValue(scheduling);
    m_lblDes->setMinimumWidth(300);
    m_lblSRC->setMinimumWidth(300);
    grid->addWidget(makeCaption(QStringLiteral("Head End"), scheduling), 0, 0);
    grid->addWidget(m_lblHE, 0, 1);
    grid->addWidget(makeCaption(QStringLiteral("Group #"), scheduling), 0, 2);
    grid->addWidget(m_cmbGroup, 0, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Date"), scheduling), 1, 0);
    grid->addWidget(m_lblSDate, 1, 1);
    grid->addWidget(makeCaption(QStringLiteral("End Date"), scheduling), 1, 2);
    grid->addWidget(m_cmdEDate, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Time"), scheduling), 2, 0);
    grid->addWidget(m_mtxtStart, 2, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("End Time"), scheduling), 2, 2);
    grid->addWidget(m_mtxtEnd, 2, 3, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Duration"), scheduling), 3, 0);
    grid->addWidget(m_mtxtDur, 3, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Destination"), scheduling), 4, 0);
    grid->addWidget(m_lblDes, 4, 1, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Source"), scheduling), 5, 0);
    grid->addWidget(m_lblSRC, 5, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(scheduling);
    grids.append(grid);

    AttributeFields fields;
    QGroupBox *attributes = makeAttributesFrame(this, TextLimit, &fields, &grid);
    m_txtDesc = fields.txtDesc;
    m_txtComment = fields.txtComment;
    m_cmbStat = fields.cmbStat;
    m_cmbControl = fields.cmbControl;
    m_chkBKUP = fields.chkBKUP;
    m_chkMonBeg = fields.chkMonBeg;
    m_chkMonEnd = fields.chkMonEnd;
    layout->addWidget(attributes);
    grids.append(grid);

    alignGrids(grids);

    auto *buttons = new QHBoxLayout;
    m_cmdUpdate = new QPushButton(QStringLiteral("Update Event"), this);
    m_cmdDefNow = new QPushButton(QStringLiteral("Default Now"), this);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdUpdate->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(m_cmdUpdate);
    buttons->addWidget(m_cmdDefNow);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);

    m_picDate = new DatePanel(this);
    m_picDate->setUncovered({m_cmdEDate});

    connect(m_cmdEDate, &QPushButton::clicked, this, &frmOnAir::cmdEDate_Click);
    connect(m_mtxtEnd, &QLineEdit::textChanged, this, &frmOnAir::mtxtEnd_Change);
    connect(m_cmdUpdate, &QPushButton::clicked, this, [this] { cmdOK_Click(1); });
    connect(m_cmdDefNow, &QPushButton::clicked, this, [this] { cmdOK_Click(2); });
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmOnAir::cmdCancel_Click);
    connect(m_picDate, &DatePanel::dateChosen, this, &frmOnAir::dateChosen);
}

void frmOnAir::Form_Load()
{
    try {
        fillList(m_cmbGroup, groupEntries(false));
        fillList(m_cmbStat, {{"Active", "ST1", 0}, {"On Hold", "ST2", 0}});
        m_cmbControl->addItems(
            {QStringLiteral("Off"), QStringLiteral("Notify"), QStringLiteral("Auto")});
        m_cmbGroup->setCurrentIndex(0);
        m_cmbStat->setCurrentIndex(0);
        m_cmbControl->setCurrentIndex(0);
        setWindowTitle(QStringLiteral("On-Air (") + fromBytes(viewName(SelView())) + ')');

        m_event = EventRef::capture(SelHE(), SelCh());
        if (!EventTable::validIndex(SelHE(), SelCh()))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        const EventRec &r = Events().at(SelHE(), SelCh());
        m_lblHE->setText(fromBytes(headEndName(SelHE())));
        selectKey(m_cmbGroup, "GR" + QByteArray::number(r.GroupNo));
        m_lblSRC->setText(fromBytes(r.SrcText));
        m_lblDes->setText(fromBytes(r.DestText));
        m_startDate = r.EventDate;
        m_lblSDate->setText(fromBytes(shortDate(m_startDate)));
        m_endDate = keyDate(r.EndKey);
        m_cmdEDate->setText(fromBytes(shortDate(m_endDate)));
        m_mtxtStart->setText(fromBytes(r.StartTime));
        m_mtxtEnd->setText(fromBytes(r.EndTime));
        m_mtxtDur->setText(fromBytes(r.Duration));
        m_cmbStat->setCurrentIndex(r.Status == StatusOnHoldOnAir ? 1 : 0);
        m_txtDesc->setText(fromBytes(r.Description));
        m_txtComment->setText(fromBytes(r.Comments));
        m_chkBKUP->setChecked(r.BackupSrc);
        m_chkMonBeg->setChecked(r.MonitorBeg);
        m_chkMonEnd->setChecked(r.MonitorEnd);
        m_cmbControl->setCurrentIndex(r.Automation <= 2 ? r.Automation : -1);
    } catch (const Failure &f) {
        logError("Error frmOnAir_Form_Load)", f);
    }
}

void frmOnAir::cmdEDate_Click()
{
    m_picDate->open(m_endDate, DatePanel::EndColour, 270, 330);
}

void frmOnAir::dateChosen(const QDate &date, qint32)
{
    m_endDate = date;
    m_cmdEDate->setText(fromBytes(shortDate(m_endDate)));
    mtxtEnd_Change();
}

void frmOnAir::mtxtEnd_Change()
{
    m_mtxtDur->setText(
        fromBytes(TimeCalc(timeBoxText(m_mtxtEnd), timeBoxText(m_mtxtStart), "-", true)));
}

OnAirInput frmOnAir::input() const
{
    OnAirInput in;
    in.group = qMax(0, keyNumber(selectedKey(m_cmbGroup)));
    in.active = selectedKey(m_cmbStat) != "ST2";
    in.automation = qMax(0, m_cmbControl->currentIndex());
    in.backupSource = m_chkBKUP->isChecked();
    in.monitorBeg = m_chkMonBeg->isChecked();
    in.monitorEnd = m_chkMonEnd->isChecked();
    in.startDate = m_startDate;
    in.endDate = m_endDate;
    in.startTime = timeBoxText(m_mtxtStart);
    in.endTime = timeBoxText(m_mtxtEnd);
    in.duration = timeBoxText(m_mtxtDur);
    in.description = boxText(m_txtDesc->text());
    in.comments = boxText(m_txtComment->text());
    return in;
}

void frmOnAir::cmdOK_Click(int index)
{
    if (!submitOnAir(input(), m_event, index == 2, this))
        return;
    close();
    deleteLater();
}

void frmOnAir::cmdCancel_Click()
{
    close();
    deleteLater();
}

} // namespace vek
