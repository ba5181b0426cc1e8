#include "schedulingdialog.h"

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
#include "datepanel.h"
#include "eventchecks.h"
#include "platform/text.h"

namespace vek {

namespace {
constexpr int TextLimit = 50;
} // namespace

SchedulingDialog::SchedulingDialog(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    QGridLayout *grid = nullptr;
    m_scheduling = makeFrame(QStringLiteral("Scheduling"), this, &grid);
}

QList<QPushButton *> SchedulingDialog::buildFrames(const Places &places, const QStringList &buttons)
{
    QList<QGridLayout *> grids;
    auto *grid = static_cast<QGridLayout *>(m_scheduling->layout());
    m_cmbGroup = new QComboBox(m_scheduling);
    m_cmbGroup->setMinimumWidth(110);
    m_cmdEDate = new QPushButton(places.endDateCaption, m_scheduling);
    m_mtxtStart = makeTimeBox(m_scheduling);
    m_mtxtEnd = makeTimeBox(m_scheduling);
    m_mtxtDur = makeTimeBox(m_scheduling);
    grid->addWidget(makeCaption(QStringLiteral("Head End"), m_scheduling), 0, 0);
    grid->addWidget(places.headEnd, 0, 1);
    grid->addWidget(makeCaption(QStringLiteral("Group #"), m_scheduling), 0, 2);
    grid->addWidget(m_cmbGroup, 0, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Date"), m_scheduling), 1, 0);
    grid->addWidget(places.startDate, 1, 1);
    grid->addWidget(makeCaption(QStringLiteral("End Date"), m_scheduling), 1, 2);
    grid->addWidget(m_cmdEDate, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Start Time"), m_scheduling), 2, 0);
    grid->addWidget(m_mtxtStart, 2, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("End Time"), m_scheduling), 2, 2);
    grid->addWidget(m_mtxtEnd, 2, 3, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Duration"), m_scheduling), 3, 0);
    grid->addWidget(m_mtxtDur, 3, 1, Qt::AlignLeft);
    grid->addWidget(makeCaption(QStringLiteral("Destination"), m_scheduling), 4, 0);
    grid->addWidget(places.destination, 4, 1, 1, 3);
    grid->addWidget(makeCaption(QStringLiteral("Source"), m_scheduling), 5, 0);
    grid->addWidget(places.source, 5, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    m_layout->addWidget(m_scheduling);
    grids.append(grid);
    // The dialog's places were made first: the Tab key follows the frame's reading order.
    const QList<QWidget *> order = {places.headEnd, m_cmbGroup,         places.startDate,
                                    m_cmdEDate,     m_mtxtStart,        m_mtxtEnd,
                                    m_mtxtDur,      places.destination, places.source};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    QGroupBox *attributes = makeAttributesFrame(this, TextLimit, &m_attributes, &grid);
    m_layout->addWidget(attributes);
    grids.append(grid);
    alignGrids(grids);

    QList<QPushButton *> made;
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (const QString &caption : buttons) {
        made.append(new QPushButton(caption, this));
        row->addWidget(made.last());
    }
    made.first()->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    row->addWidget(m_cmdCancel);
    m_layout->addLayout(row);

    m_picDate = new DatePanel(this);

    connect(m_cmdEDate, &QPushButton::clicked, this, &SchedulingDialog::cmdEDate_Click);
    connect(m_mtxtEnd, &QLineEdit::textChanged, this, &SchedulingDialog::mtxtEnd_Change);
    connect(m_cmdCancel, &QPushButton::clicked, this, &SchedulingDialog::cmdCancel_Click);
    return made;
}

void SchedulingDialog::fillLists(bool blankBeforeNumber)
{
    fillList(m_cmbGroup, groupEntries(blankBeforeNumber));
    fillList(m_attributes.cmbStat, {{"Active", "ST1", 0}, {"On Hold", "ST2", 0}});
    m_attributes.cmbControl->addItems(
        {QStringLiteral("Off"), QStringLiteral("Notify"), QStringLiteral("Auto")});
    m_cmbGroup->setCurrentIndex(0);
    m_attributes.cmbStat->setCurrentIndex(0);
    m_attributes.cmbControl->setCurrentIndex(0);
}

void SchedulingDialog::showRecord(const EventRec &r, bool onHold)
{
    selectKey(m_cmbGroup, "GR" + QByteArray::number(r.GroupNo));
    m_mtxtStart->setText(fromBytes(r.StartTime));
    m_mtxtEnd->setText(fromBytes(r.EndTime));
    m_mtxtDur->setText(fromBytes(r.Duration));
    m_attributes.cmbStat->setCurrentIndex(onHold ? 1 : 0);
    m_attributes.txtDesc->setText(fromBytes(r.Description));
    m_attributes.txtComment->setText(fromBytes(r.Comments));
    m_attributes.chkBKUP->setChecked(r.BackupSrc);
    m_attributes.chkMonBeg->setChecked(r.MonitorBeg);
    m_attributes.chkMonEnd->setChecked(r.MonitorEnd);
    m_attributes.cmbControl->setCurrentIndex(r.Automation <= 2 ? r.Automation : -1);
}

void SchedulingDialog::readShared(ScheduleInput &in) const
{
    in.group = qMax(0, keyNumber(selectedKey(m_cmbGroup)));
    in.active = selectedKey(m_attributes.cmbStat) != "ST2";
    in.automation = qMax(0, m_attributes.cmbControl->currentIndex());
    in.backupSource = m_attributes.chkBKUP->isChecked();
    in.monitorBeg = m_attributes.chkMonBeg->isChecked();
    in.monitorEnd = m_attributes.chkMonEnd->isChecked();
    in.startDate = m_startDate;
    in.endDate = m_endDate;
    in.startTime = timeBoxText(m_mtxtStart);
    in.endTime = timeBoxText(m_mtxtEnd);
    in.duration = timeBoxText(m_mtxtDur);
    in.description = boxText(m_attributes.txtDesc->text());
    in.comments = boxText(m_attributes.txtComment->text());
}

void SchedulingDialog::recomputeDuration()
{
    m_mtxtDur->setText(
        fromBytes(TimeCalc(timeBoxText(m_mtxtEnd), timeBoxText(m_mtxtStart), "-", true)));
}

void SchedulingDialog::cmdEDate_Click()
{
    m_picDate->open(m_endDate, DatePanel::EndColour, 270, 330);
}

void SchedulingDialog::mtxtEnd_Change()
{
    recomputeDuration();
}

void SchedulingDialog::cmdCancel_Click()
{
    close();
    deleteLater();
}

} // namespace vek
