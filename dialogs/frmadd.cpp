#include "frmadd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/channelentries.h"
#include "core/convert.h"
#include "core/eventtable.h"
#include "core/log.h"
#include "core/selection.h"
#include "core/ui/typeahead.h"
#include "datepanel.h"
#include "eventdates.h"
#include "formparts.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"

namespace vek {

namespace {
constexpr int TextLimit = 50;
} // namespace

frmAdd *frmAdd::open(QWidget *parent)
{
    auto *dialog = new frmAdd(parent);
    showInFront(dialog);
    return dialog;
}

frmAdd::frmAdd(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    buildForm();
    Form_Load();
    installEventDialogKeys(this, m_cmdOK, m_cmdCancel, m_picDate);
    DeactivationCloser::install(this);
}

void frmAdd::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QGridLayout *grid = nullptr;
    QList<QGridLayout *> grids;
    QGroupBox *scheduling = makeFrame(QStringLiteral("Scheduling"), this, &grid);
    m_cmbHE = new QComboBox(scheduling);
    m_cmbGroup = new QComboBox(scheduling);
    m_cmdSDate = new QPushButton(QStringLiteral("Change Start Date"), scheduling);
    m_cmdEDate = new QPushButton(QStringLiteral("Change End Date"), scheduling);
    m_mtxtStart = makeTimeBox(scheduling);
    m_mtxtEnd = makeTimeBox(scheduling);
    m_mtxtDur = makeTimeBox(scheduling);
    m_cmbDes = new QComboBox(scheduling);
    m_cmbSrc = new QComboBox(scheduling);
    m_cmbHE->setMinimumWidth(170);
    m_cmbGroup->setMinimumWidth(110);
    m_cmbDes->setMinimumWidth(300);
    m_cmbSrc->setMinimumWidth(300);
    m_cmbDes->setMaxVisibleItems(20);
    m_cmbSrc->setMaxVisibleItems(20);
    grid->addWidget(makeCaption(QStringLiteral("Head End"), scheduling), 0, 0);
    grid->addWidget(m_cmbHE, 0, 1);
    grid->addWidget(makeCaption(QStringLiteral("Group #"), scheduling), 0, 2);
    grid->addWidget(m_cmbGroup, 0, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Date"), scheduling), 1, 0);
    grid->addWidget(m_cmdSDate, 1, 1);
    grid->addWidget(makeCaption(QStringLiteral("End Date"), scheduling), 1, 2);
    grid->addWidget(m_cmdEDate, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Time"), scheduling), 2, 0);
    grid->addWidget(m_mtxtStart, 2, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("End Time"), scheduling), 2, 2);
    grid->addWidget(m_mtxtEnd, 2, 3, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Duration"), scheduling), 3, 0);
    grid->addWidget(m_mtxtDur, 3, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Destination"), scheduling), 4, 0);
    grid->addWidget(m_cmbDes, 4, 1, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Source"), scheduling), 5, 0);
    grid->addWidget(m_cmbSrc, 5, 1, 1, 3);
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
    m_txtDesc->setToolTip(QStringLiteral("Program Description"));
    m_txtComment->setToolTip(QStringLiteral("Additional Comments"));
    layout->addWidget(attributes);
    grids.append(grid);

    alignGrids(grids);

    auto *buttons = new QHBoxLayout;
    m_cmdOK = new QPushButton(QStringLiteral("Add Event"), this);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdOK->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);

    m_picDate = new DatePanel(this);
    m_picDate->setUncovered({m_cmdSDate, m_cmdEDate});
    m_typeAhead = new TypeAhead(this);
    m_typeAhead->watch(m_cmbDes);
    m_typeAhead->watch(m_cmbSrc);

    connect(m_cmbHE, &QComboBox::currentIndexChanged, this, &frmAdd::cmbHE_Click);
    connect(m_cmbDes, &QComboBox::currentIndexChanged, this, &frmAdd::cmbDes_Click);
    connect(m_cmdSDate, &QPushButton::clicked, this, &frmAdd::cmdSDate_Click);
    connect(m_cmdEDate, &QPushButton::clicked, this, &frmAdd::cmdEDate_Click);
    connect(m_mtxtStart, &QLineEdit::textChanged, this, &frmAdd::mtxtStart_Change);
    connect(m_mtxtEnd, &QLineEdit::textChanged, this, &frmAdd::mtxtEnd_Change);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAdd::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmAdd::cmdCancel_Click);
    connect(m_picDate, &DatePanel::dateChosen, this, &frmAdd::dateChosen);
}

void frmAdd::Form_Load()
{
    KeyBuffer().clear();
    const int view = SelView();
    m_context.addMode = SelHE() == 0;
    try {
        fillList(m_cmbHE, headEndEntries(view));
        fillList(m_cmbGroup, groupEntries(true));
        fillList(m_cmbStat, {{"Active", "ST1", 0}, {"On Hold", "ST2", 0}});
        m_cmbControl->addItems(
            {QStringLiteral("Off"), QStringLiteral("Notify"), QStringLiteral("Auto")});
        m_cmbControl->setCurrentIndex(0);
        m_cmbGroup->setCurrentIndex(0);
        m_cmbStat->setCurrentIndex(0);

        if (m_context.addMode) {
            setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
            m_startDate = m_endDate = Clock::today();
            showDates();
            setWindowTitle(QStringLiteral("Add Event (") + fromBytes(viewName(view)) + ')');
            m_cmdOK->setText(QStringLiteral("Add Event"));
            {
                const QSignalBlocker blocker(m_cmbHE);
                m_cmbHE->setCurrentIndex(m_cmbHE->count() > 0 ? 0 : -1);
            }
            cmbHE_Click();
            return;
        }

        setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        setWindowTitle(QStringLiteral("Update Event (") + fromBytes(viewName(view)) + ')');
        m_cmdOK->setText(QStringLiteral("Update Event"));
        m_context.event = EventRef::capture(SelHE(), SelCh());
        if (!EventTable::validIndex(SelHE(), SelCh()))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        m_record = Events().at(SelHE(), SelCh());
        const EventRec &r = m_record;
        m_context.keptMediaPointID = r.MediaPointID;
        {
            const QSignalBlocker blocker(m_cmbHE);
            if (!selectKey(m_cmbHE, "HE" + QByteArray::number(r.HeadEnd)))
                m_cmbHE->setCurrentIndex(-1);
        }
        m_cmbHE->setEnabled(false);
        selectKey(m_cmbGroup, "GR" + QByteArray::number(r.GroupNo));
        m_startDate = r.EventDate;
        m_endDate = keyDate(r.EndKey);
        showDates();
        m_mtxtStart->setText(fromBytes(r.StartTime));
        m_mtxtEnd->setText(fromBytes(r.EndTime));
        m_mtxtDur->setText(fromBytes(r.Duration));
        m_cmbStat->setCurrentIndex(r.Status == StatusOnHold ? 1 : 0);
        m_txtDesc->setText(fromBytes(r.Description));
        m_txtComment->setText(fromBytes(r.Comments));
        m_chkBKUP->setChecked(r.BackupSrc);
        m_chkMonBeg->setChecked(r.MonitorBeg);
        m_chkMonEnd->setChecked(r.MonitorEnd);
        m_cmbControl->setCurrentIndex(r.Automation <= 2 ? r.Automation : -1);
        cmbHE_Click();
    } catch (const Failure &f) {
        logError("Error frmAdd_Form_Load)", f);
    }
}

void frmAdd::cmbHE_Click()
{
    const int he = keyNumber(selectedKey(m_cmbHE));
    fillList(m_cmbDes, he > 0 ? destinationEntries(he) : QList<ComboEntry>());
    {
        const QSignalBlocker blocker(m_cmbDes);
        m_cmbDes->setCurrentIndex(m_cmbDes->count() > 0 ? 0 : -1);
        if (!addMode())
            selectKey(m_cmbDes, channelKey(m_record.DestCh));
    }
    cmbDes_Click();
}

void frmAdd::cmbDes_Click()
{
    const int he = keyNumber(selectedKey(m_cmbHE));
    const int d = keyNumber(selectedKey(m_cmbDes));
    fillList(m_cmbSrc, he > 0 && d >= 0 ? sourceEntries(he, d) : QList<ComboEntry>());
    const QSignalBlocker blocker(m_cmbSrc);
    m_cmbSrc->setCurrentIndex(m_cmbSrc->count() > 0 ? 0 : -1);
    // A change of destination returns to the event's own source where the new one offers it.
    if (!addMode())
        selectKey(m_cmbSrc, channelKey(m_record.SrcCh));
}

void frmAdd::showDates()
{
    m_cmdSDate->setText(fromBytes(shortDate(m_startDate)));
    m_cmdEDate->setText(fromBytes(shortDate(m_endDate)));
}

void frmAdd::cmdSDate_Click()
{
    m_picDate->open(m_startDate, DatePanel::StartColour, 3390, 330);
}

void frmAdd::cmdEDate_Click()
{
    m_picDate->open(m_endDate, DatePanel::EndColour, 270, 330);
}

void frmAdd::dateChosen(const QDate &date, qint32 backColour)
{
    if (backColour == DatePanel::StartColour)
        m_startDate = date;
    else
        m_endDate = date;
    showDates();
    recomputeDuration();
}

void frmAdd::recomputeDuration()
{
    m_mtxtDur->setText(
        fromBytes(TimeCalc(timeBoxText(m_mtxtEnd), timeBoxText(m_mtxtStart), "-", true)));
}

void frmAdd::mtxtStart_Change()
{
    recomputeDuration();
}

void frmAdd::mtxtEnd_Change()
{
    recomputeDuration();
}

AddEventInput frmAdd::input() const
{
    AddEventInput in;
    in.headEnd = qMax(0, keyNumber(selectedKey(m_cmbHE)));
    in.dest = keyNumber(selectedKey(m_cmbDes));
    in.src = keyNumber(selectedKey(m_cmbSrc));
    in.destText = in.dest >= 0 ? toBytes(m_cmbDes->currentText()) : QByteArray();
    in.srcText = in.src >= 0 ? toBytes(m_cmbSrc->currentText()) : QByteArray();
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

void frmAdd::cmdOK_Click()
{
    if (!submitAddEvent(input(), m_context, this))
        return;
    close();
    deleteLater();
}

void frmAdd::cmdCancel_Click()
{
    close();
    deleteLater();
}

} // namespace vek
