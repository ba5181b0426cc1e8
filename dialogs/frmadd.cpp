#include "frmadd.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

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

frmAdd *frmAdd::open(QWidget *parent)
{
    auto *dialog = new frmAdd(parent);
    showInFront(dialog);
    return dialog;
}

frmAdd::frmAdd(QWidget *parent) : SchedulingDialog(parent)
{
    buildForm();
    Form_Load();
    installEventDialogKeys(this, m_cmdOK, cmdCancel(), picDate());
    DeactivationCloser::install(this);
}

void frmAdd::buildForm()
{
    QGroupBox *scheduling = schedulingFrame();
    m_cmbHE = new QComboBox(scheduling);
    m_cmdSDate = new QPushButton(QStringLiteral("Change Start Date"), scheduling);
    m_cmbDes = new QComboBox(scheduling);
    m_cmbSrc = new QComboBox(scheduling);
    m_cmbHE->setMinimumWidth(170);
    m_cmbDes->setMinimumWidth(300);
    m_cmbSrc->setMinimumWidth(300);
    m_cmbDes->setMaxVisibleItems(20);
    m_cmbSrc->setMaxVisibleItems(20);
    m_cmdOK =
        buildFrames({m_cmbHE, m_cmdSDate, m_cmbDes, m_cmbSrc, QStringLiteral("Change End Date")},
                    {QStringLiteral("Add Event")})
            .first();
    txtDesc()->setToolTip(QStringLiteral("Program Description"));
    txtComment()->setToolTip(QStringLiteral("Additional Comments"));

    picDate()->setUncovered({m_cmdSDate, cmdEDate()});
    m_typeAhead = new TypeAhead(this);
    m_typeAhead->watch(m_cmbDes);
    m_typeAhead->watch(m_cmbSrc);

    connect(m_cmbHE, &QComboBox::currentIndexChanged, this, &frmAdd::cmbHE_Click);
    connect(m_cmbDes, &QComboBox::currentIndexChanged, this, &frmAdd::cmbDes_Click);
    connect(m_cmdSDate, &QPushButton::clicked, this, &frmAdd::cmdSDate_Click);
    connect(mtxtStart(), &QLineEdit::textChanged, this, &frmAdd::mtxtStart_Change);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAdd::cmdOK_Click);
    connect(picDate(), &DatePanel::dateChosen, this, &frmAdd::dateChosen);
}

void frmAdd::Form_Load()
{
    KeyBuffer().clear();
    const int view = SelView();
    m_context.addMode = SelHE() == 0;
    try {
        fillList(m_cmbHE, headEndEntries(view));
        fillLists(true);

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
        m_startDate = r.EventDate;
        m_endDate = keyDate(r.EndKey);
        showDates();
        showRecord(r, r.Status == StatusOnHold);
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
    cmdEDate()->setText(fromBytes(shortDate(m_endDate)));
}

void frmAdd::cmdSDate_Click()
{
    picDate()->open(m_startDate, DatePanel::StartColour, 3390, 330);
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

void frmAdd::mtxtStart_Change()
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
    readShared(in);
    return in;
}

void frmAdd::cmdOK_Click()
{
    if (!submitAddEvent(input(), m_context, this))
        return;
    close();
    deleteLater();
}

} // namespace vek
