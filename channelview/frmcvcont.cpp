#include "frmcvcont.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "channelcommands.h"
#include "channelwindows.h"
#include "chanviewgrid.h"
#include "core/channeltable.h"
#include "core/log.h"
#include "core/selection.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/ui/typeahead.h"
#include "dialogs/commandreach.h"
#include "frmchanview.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/twips.h"

namespace vek {

namespace {

const QString ProblemTitle = QStringLiteral("Event Problem.");
const QByteArray ErrorLabel = "Error frmCVCont_cmdTake_Click)";

// What the list had when a command needed a chosen source and there was none.
Failure noSourceChosen()
{
    return Failure(91, "Object variable or With block variable not set");
}

} // namespace

frmCVCont::frmCVCont(QWidget *parent)
    : QWidget(parent, Qt::Dialog), m_lblCH(new QLabel(this)), m_lblCUR(new QLabel(this)),
      m_cmdDef(new QPushButton(QStringLiteral("Take"), this)),
      m_cmdBU(new QPushButton(QStringLiteral("Take"), this)), m_cmbSrc(new QComboBox(this)),
      m_cmdTAKE(new QPushButton(QStringLiteral("Take"), this)),
      m_chkSel(new QCheckBox(QStringLiteral("Add to select view"), this)),
      m_cmdActive0(new QPushButton(QStringLiteral("Active"), this)),
      m_cmdActive1(new QPushButton(QStringLiteral("Standby"), this)),
      m_cmdDONE(new QPushButton(QStringLiteral("Done"), this)), m_typeAhead(new TypeAhead(this))
{
    setWindowTitle(QStringLiteral("Channel Control"));

    QFont big = m_lblCH->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 2);
    m_lblCH->setFont(big);
    m_lblCH->setAlignment(Qt::AlignCenter);

    auto *info = new QGroupBox(QStringLiteral("Source Information"), this);
    auto *infoGrid = new QGridLayout(info);
    const char *const rows[3] = {"Current", "Default", "Backup"};
    for (int i = 0; i < 3; ++i)
        infoGrid->addWidget(new QLabel(QString::fromLatin1(rows[i]), info), i, 0);
    m_lblCUR->setFrameShape(QFrame::Panel);
    m_lblCUR->setFrameShadow(QFrame::Sunken);
    infoGrid->addWidget(m_lblCUR, 0, 1);
    infoGrid->addWidget(m_cmdDef, 1, 1);
    infoGrid->addWidget(m_cmdBU, 2, 1);
    infoGrid->setColumnStretch(1, 1);

    auto *change = new QGroupBox(QStringLiteral("Source Change"), this);
    auto *changeRow = new QHBoxLayout(change);
    m_cmbSrc->setMinimumContentsLength(18);
    m_cmbSrc->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    changeRow->addWidget(m_cmbSrc, 1);
    changeRow->addWidget(m_cmdTAKE);

    auto *select = new QGroupBox(QStringLiteral("Select List"), this);
    (new QHBoxLayout(select))->addWidget(m_chkSel);

    auto *active = new QGroupBox(QStringLiteral("Active / Stanby"), this);
    auto *activeRow = new QHBoxLayout(active);
    m_cmdActive0->setToolTip(QStringLiteral("This will send a command to activate the output."));
    m_cmdActive1->setToolTip(
        QStringLiteral("This will send a command to put the output in standby (deactivate)."));
    activeRow->addWidget(m_cmdActive0);
    activeRow->addWidget(m_cmdActive1);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_lblCH);
    outer->addWidget(info);
    outer->addWidget(change);
    auto *lower = new QHBoxLayout;
    lower->addWidget(select);
    lower->addWidget(active);
    outer->addLayout(lower);
    auto *doneRow = new QHBoxLayout;
    doneRow->addStretch(1);
    doneRow->addWidget(m_cmdDONE);
    outer->addLayout(doneRow);

    connect(m_cmdActive0, &QPushButton::clicked, this, [this] { cmdActive_Click(0); });
    connect(m_cmdActive1, &QPushButton::clicked, this, [this] { cmdActive_Click(1); });
    connect(m_cmdBU, &QPushButton::clicked, this, &frmCVCont::cmdBU_Click);
    connect(m_cmdDef, &QPushButton::clicked, this, &frmCVCont::cmdDef_Click);
    connect(m_cmdTAKE, &QPushButton::clicked, this, &frmCVCont::cmdTAKE_Click);
    connect(m_chkSel, &QCheckBox::clicked, this, &frmCVCont::chkSel_Click);
    connect(m_cmdDONE, &QPushButton::clicked, this, &frmCVCont::cmdDONE_Click);
    m_typeAhead->watch(m_cmbSrc);
    // Losing activation to another window of the console hides it, as Done does.
    DeactivationCloser::install(this, DeactivationCloser::Keep);
}

void frmCVCont::placeOverChannelView()
{
    frmChanView *view = chanView();
    if (!view)
        return;
    QWidget *frame = view->parentWidget() ? view->parentWidget() : view;
    const QPoint origin = frame->mapToGlobal(QPoint(0, 0));
    // The offsets hold where the window fits; else it moves just far enough to be whole on
    // the screen, Take, Standby and Done within reach.
    // Before its first show the window has no frame yet: count the main window's.
    adjustSize();
    const QWidget *top = isVisible() ? static_cast<QWidget *>(this) : frame->window();
    const QRect outer = top->frameGeometry();
    const QRect inner = top->geometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    QRect place = QRect(origin + QPoint(twipsToPixels(1050), twipsToPixels(2350)), size())
                      .marginsAdded(margins);
    if (const QScreen *screen = frame->screen())
        place = keptInside(place, screen->availableGeometry());
    move(place.topLeft());
}

void frmCVCont::Form_Activate()
{
    try {
        placeOverChannelView();
        m_he = CVHeadEnd();
        m_ch = int(std::nearbyint(qBound(-1.0, leadingValue(CVChannel()), 1e6)));
        KeyBuffer().clear();
        m_cmbSrc->clear();
        if (!validHeadEnd(m_he) || m_ch < 0 || m_ch > MaxChannel)
            throw Failure(ErrorKind::SubscriptOutOfRange);
        const ChannelEntry &c = Channel(m_he, m_ch);
        m_label = channelLabel(c.ChanDesc, c.ChanNum);
        m_lblCH->setText(fromBytes(m_label));
        m_lblCUR->setText(fromBytes(c.CurSrcText));
        const QString own = fromBytes(channelLabel(c.SrcName, c.ChanNum));
        m_cmdDef->setText(own);
        m_cmdBU->setText(own);
        for (const ComboEntry &e : controlSourceEntries(m_he, m_ch))
            m_cmbSrc->addItem(fromBytes(e.Text), fromBytes(e.Key));
        if (m_cmbSrc->count() > 0)
            m_cmbSrc->setCurrentIndex(0);
        m_chkSel->setChecked(c.SelectList);
    } catch (const Failure &f) {
        logError("Error frmCVCont_Form_Load)", f);
    }
}

void frmCVCont::cmdActive_Click(int index)
{
    runCommand(index == 0 ? Command::Active : Command::Standby);
}

void frmCVCont::cmdBU_Click()
{
    runCommand(Command::Backup);
}

void frmCVCont::cmdDef_Click()
{
    runCommand(Command::Default);
}

void frmCVCont::cmdTAKE_Click()
{
    runCommand(Command::Chosen);
}

void frmCVCont::runCommand(Command command)
{
    const QString refusal = channelCommandRefusal(m_he);
    if (!refusal.isEmpty()) {
        DialogSeam::message(this, QMessageBox::Critical, ProblemTitle, refusal);
        return;
    }
    try {
        if (m_ch < 1 || m_ch > MaxChannel)
            throw Failure(ErrorKind::SubscriptOutOfRange);
        // A command that needs a chosen source fails before it asks anything.
        int source = 0;
        const bool needsSource =
            command == Command::Active || command == Command::Standby || command == Command::Chosen;
        if (needsSource) {
            if (m_cmbSrc->currentIndex() < 0)
                throw noSourceChosen();
            source = keyNumber(toBytes(m_cmbSrc->currentData().toString()));
            if (source < 1 || source > MaxChannel)
                throw noSourceChosen();
        }
        QString title;
        QString question;
        if (command == Command::Active) {
            title = QStringLiteral("Activate Output");
            question = QStringLiteral("You are about to send a command to activate the output on "
                                      "the channel you have selected.  Are you sure it is ready "
                                      "to go to air?");
        } else if (command == Command::Standby) {
            title = QStringLiteral("Deactivate Output");
            question = QStringLiteral("You are about to send a command to deactivate the output "
                                      "on the channel you have selected.  The channel will go "
                                      "off-air.  Are you sure?");
        } else if (command == Command::Backup) {
            title = QStringLiteral("Switch To Backup");
            question = QStringLiteral("You are about to switch the backup source to air.  Are you "
                                      "sure it is ready to go to air?");
        }
        if (!title.isEmpty()) {
            if (DialogSeam::message(this, QMessageBox::Question, title, question,
                                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                return;
            // The question let the link run: the head end may have gone off line meanwhile.
            const QString late = channelCommandRefusal(m_he);
            if (!late.isEmpty()) {
                DialogSeam::message(this, QMessageBox::Critical, ProblemTitle, late);
                return;
            }
        }
        const ChannelEntry &c = Channel(m_he, m_ch);
        const QByteArray level = levelDigits(c.ChanLevel);
        const QByteArray output = inputDigits(c.ChanCol);
        const qint16 chosen = needsSource ? Channel(m_he, source).ChanDefSrc : 0;
        QByteArray body;
        QByteArray line;
        switch (command) {
        case Command::Active:
            body = "e" + level + inputDigits(chosen) + output;
            line = "User pressed Active.  Details: " + m_label;
            break;
        case Command::Standby:
            body = "f" + level + inputDigits(chosen) + output;
            line = "User pressed Standby.  Details: " + m_label;
            break;
        case Command::Backup:
            body = QByteArray(1, '\x10') + level + inputDigits(c.ChanBackupSrc) + output;
            line = "User sent channel to backup source.  Details: " + m_label;
            break;
        case Command::Default:
            body = QByteArray(1, '\x10') + level + inputDigits(c.ChanDefSrc) + output;
            line = "User sent channel to default source.  Details: " + m_label;
            break;
        case Command::Chosen:
            body = QByteArray(1, '\x10') + level + inputDigits(chosen) + output;
            line = "User sent channel to another source.  Details: " + m_label + " to " +
                   toBytes(m_cmbSrc->currentText());
            break;
        }
        if (!commandReaches(m_he, this))
            return;
        SendHS(m_he, body, 0);
        WriteLog(line);
    } catch (const Failure &f) {
        logError(ErrorLabel, f);
        return;
    }
    cmdDONE_Click();
}

void frmCVCont::chkSel_Click(bool checked)
{
    if (validHeadEnd(m_he) && m_ch >= 0 && m_ch <= MaxChannel)
        Channel(m_he, m_ch).SelectList = checked;
}

void frmCVCont::cmdDONE_Click()
{
    if (CVFilter() == FilterSelectList)
        FillChanView();
    hide();
}

void frmCVCont::closeEvent(QCloseEvent *event)
{
    // Every close is Done: the window stays loaded for the next channel.
    event->ignore();
    if (isVisible())
        cmdDONE_Click();
}

} // namespace vek
