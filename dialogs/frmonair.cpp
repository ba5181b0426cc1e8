#include "frmonair.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

frmOnAir *frmOnAir::open(QWidget *parent)
{
    auto *dialog = new frmOnAir(parent);
    showInFront(dialog);
    return dialog;
}

frmOnAir::frmOnAir(QWidget *parent) : SchedulingDialog(parent)
{
    buildForm();
    Form_Load();
    installEventDialogKeys(this, m_cmdUpdate, cmdCancel(), picDate());
    DeactivationCloser::install(this);
}

void frmOnAir::buildForm()
{
    setWindowTitle(QStringLiteral("On-Air"));
    QGroupBox *scheduling = schedulingFrame();
    m_lblHE = makeValue(scheduling);
    m_lblSDate = makeValue(scheduling);
    m_lblDes = makeValue(scheduling);
    m_lblSRC = makeValue(scheduling);
    m_lblDes->setMinimumWidth(300);
    m_lblSRC->setMinimumWidth(300);
    const QList<QPushButton *> buttons =
        buildFrames({m_lblHE, m_lblSDate, m_lblDes, m_lblSRC, QStringLiteral("End Date")},
                    {QStringLiteral("Update Event"), QStringLiteral("Default Now")});
    m_cmdUpdate = buttons[0];
    m_cmdDefNow = buttons[1];
    mtxtStart()->setReadOnly(true); // shown only: an on-air event keeps its start
    QPalette shown = mtxtStart()->palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    mtxtStart()->setPalette(shown);

    picDate()->setUncovered({cmdEDate()});

    connect(m_cmdUpdate, &QPushButton::clicked, this, [this] { cmdOK_Click(1); });
    connect(m_cmdDefNow, &QPushButton::clicked, this, [this] { cmdOK_Click(2); });
    connect(picDate(), &DatePanel::dateChosen, this, &frmOnAir::dateChosen);
}

void frmOnAir::Form_Load()
{
    try {
        fillLists(false);
        setWindowTitle(QStringLiteral("On-Air (") + fromBytes(viewName(SelView())) + ')');

        m_event = EventRef::capture(SelHE(), SelCh());
        if (!EventTable::validIndex(SelHE(), SelCh()))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        const EventRec &r = Events().at(SelHE(), SelCh());
        m_lblHE->setText(fromBytes(headEndName(SelHE())));
        m_lblSRC->setText(fromBytes(r.SrcText));
        m_lblDes->setText(fromBytes(r.DestText));
        m_startDate = r.EventDate;
        m_lblSDate->setText(fromBytes(shortDate(m_startDate)));
        m_endDate = keyDate(r.EndKey);
        cmdEDate()->setText(fromBytes(shortDate(m_endDate)));
        showRecord(r, r.Status == StatusOnHoldOnAir);
    } catch (const Failure &f) {
        logError("Error frmOnAir_Form_Load)", f);
    }
}

void frmOnAir::dateChosen(const QDate &date, qint32)
{
    m_endDate = date;
    cmdEDate()->setText(fromBytes(shortDate(m_endDate)));
    mtxtEnd_Change();
}

OnAirInput frmOnAir::input() const
{
    OnAirInput in;
    readShared(in);
    return in;
}

void frmOnAir::cmdOK_Click(int index)
{
    if (!submitOnAir(input(), m_event, index == 2, this))
        return;
    close();
    deleteLater();
}

} // namespace vek
