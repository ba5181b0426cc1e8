#include "frmadmin.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/log.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "dialogs/commandreach.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

namespace {
// Ticks the end of a run waits at most for its last outcomes (a minute at the usual pace).
constexpr int MaxTicksAfterEnd = 120;
} // namespace

namespace {

const QString ProblemTitle = QStringLiteral("Problem");

QString headEndName(int headEnd)
{
    return validHeadEnd(headEnd) ? fromBytes(settings().HEName[size_t(headEnd)]) : QString();
}

QGroupBox *headEndFrame(QWidget *parent, const QString &title, QComboBox *list,
                        QProgressBar *progress, QPushButton *ok)
{
    auto *frame = new QGroupBox(title, parent);
    auto *column = new QVBoxLayout(frame);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Head End"), frame));
    row->addWidget(list, 1);
    row->addWidget(ok);
    column->addLayout(row);
    if (progress)
        column->addWidget(progress);
    return frame;
}

} // namespace

frmAdmin::frmAdmin(QWidget *parent)
    : QWidget(parent, Qt::Dialog), m_imgCmbHE1(new QComboBox(this)),
      m_imgCmbHE2(new QComboBox(this)), m_progBar(new QProgressBar(this)),
      m_cmdESNI(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdOK1(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdOK2(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdDone(new QPushButton(QStringLiteral("Done"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Administrator Options"));

    m_progBar->setRange(1, SendHomeRun::LastEntry);
    m_progBar->setVisible(false);
    for (QComboBox *list : {m_imgCmbHE1, m_imgCmbHE2})
        list->setMinimumContentsLength(16);

    auto *esni = new QGroupBox(QStringLiteral("Re-Send All ESNI Events"), this);
    auto *esniRow = new QHBoxLayout(esni);
    esniRow->addStretch(1);
    esniRow->addWidget(m_cmdESNI);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(esni);
    outer->addWidget(headEndFrame(this, QStringLiteral("Send All Channels Home"), m_imgCmbHE1,
                                  m_progBar, m_cmdOK1));
    outer->addWidget(
        headEndFrame(this, QStringLiteral("Clear All Events"), m_imgCmbHE2, nullptr, m_cmdOK2));
    auto *doneRow = new QHBoxLayout;
    doneRow->addStretch(1);
    doneRow->addWidget(m_cmdDone);
    outer->addLayout(doneRow);

    // Every change of the shown head end (click, keys, wheel) is the choice.
    connect(m_imgCmbHE1, &QComboBox::currentIndexChanged, this, &frmAdmin::imgCmbHE1_Click);
    connect(m_imgCmbHE2, &QComboBox::currentIndexChanged, this, &frmAdmin::imgCmbHE2_Click);
    connect(m_cmdESNI, &QPushButton::clicked, this, &frmAdmin::cmdESNI_Click);
    connect(m_cmdOK1, &QPushButton::clicked, this, &frmAdmin::cmdOK1_Click);
    connect(m_cmdOK2, &QPushButton::clicked, this, &frmAdmin::cmdOK2_Click);
    connect(m_cmdDone, &QPushButton::clicked, this, &frmAdmin::cmdDone_Click);
    m_timeTake.setInterval(TakeIntervalMs);
    connect(&m_timeTake, &QTimer::timeout, this, &frmAdmin::timeTake_Timer);
    DeactivationCloser::install(this, DeactivationCloser::Keep);

    Form_Load();
}

void frmAdmin::Form_Load()
{
    const Settings &s = settings();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (!s.HEOnLine[size_t(he)])
            continue;
        for (QComboBox *list : {m_imgCmbHE1, m_imgCmbHE2})
            list->addItem(fromBytes(s.HEName[size_t(he)]), QStringLiteral("HE%1").arg(he));
    }
    // Nothing is chosen until the administrator chooses.
    m_imgCmbHE1->setCurrentIndex(-1);
    m_imgCmbHE2->setCurrentIndex(-1);
    m_selHE1 = 0;
    m_selHE2 = 0;
}

void frmAdmin::imgCmbHE1_Click(int index)
{
    m_selHE1 = index >= 0 ? m_imgCmbHE1->itemData(index).toString().mid(2).toInt() : 0;
}

void frmAdmin::imgCmbHE2_Click(int index)
{
    m_selHE2 = index >= 0 ? m_imgCmbHE2->itemData(index).toString().mid(2).toInt() : 0;
}

bool frmAdmin::refused(int headEnd, bool needsHeadEnd)
{
    const QString refusal = adminRefusal(headEnd, needsHeadEnd);
    if (refusal.isEmpty())
        return false;
    DialogSeam::message(this, QMessageBox::Critical, ProblemTitle, refusal);
    return true;
}

bool frmAdmin::confirmed(const QString &title, const QString &text)
{
    const auto ask = [&](const QString &question) {
        return DialogSeam::message(this, QMessageBox::Question, title, question,
                                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    return ask(text) && ask(QStringLiteral("Are you really sure (last chance to stop)?"));
}

void frmAdmin::cmdESNI_Click()
{
    try {
        if (refused(0, false))
            return;
        if (!confirmed(QStringLiteral("Re-Send All Events To ESNI"),
                       QStringLiteral("You are about to re-send all events to the ESNI server for "
                                      "all regions.  Are you sure you want to continue?")))
            return;
        if (!commandReaches(1, this))
            return;
        SendHS(1, "X", 0);
        close();
    } catch (const Failure &f) {
        logError("Error frmAdmin_cmdESNI_Click)", f);
    }
}

void frmAdmin::cmdOK1_Click()
{
    try {
        // One run at a time: a second would start the head end over from its first entry.
        if (running())
            return;
        const int he = m_selHE1;
        if (refused(he, true))
            return;
        if (!confirmed(QStringLiteral("Change All Channels To Default"),
                       QStringLiteral("You are about to change all channels to their default "
                                      "source as configured by this VEK client application on "
                                      "the ") +
                           headEndName(he) +
                           QStringLiteral(" headend.  Are you sure you want to change all "
                                          "channels?")))
            return;
        // The questions let the link run; the rights are checked once more.
        if (refused(he, true) || !commandReaches(he, this))
            return;
        m_run.emplace(he);
        m_waiting.clear();
        m_acknowledged = 0;
        m_givenUp = 0;
        m_ticksAfterEnd = 0;
        m_progBar->setValue(2);
        m_progBar->setVisible(true);
        m_cmdOK1->setEnabled(false);
        WriteLog("Send all channels home started on " + settings().HEName[size_t(he)]);
        m_timeTake.start();
    } catch (const Failure &f) {
        logError("Error frmAdmin_cmdOK1_Click)", f);
    }
}

void frmAdmin::cmdOK2_Click()
{
    try {
        const int he = m_selHE2;
        if (refused(he, true))
            return;
        if (!confirmed(QStringLiteral("Delete All Events"),
                       QStringLiteral("You are about to delete all events (Upcoming, Substituted "
                                      "and As Run) on the ") +
                           headEndName(he) +
                           QStringLiteral(" headend.  Are you sure you want to delete all these "
                                          "events?")))
            return;
        if (refused(he, true) || !commandReaches(he, this))
            return;
        SendHS(he, QByteArray(1, '\x14'), 0);
        close();
    } catch (const Failure &f) {
        logError("Error frmAdmin_cmdOK2_Click)", f);
    }
}

void frmAdmin::timeTake_Timer()
{
    if (!m_run)
        return;
    if (!m_run->finished()) {
        try {
            const QByteArray message = m_run->tick();
            m_progBar->setValue(qBound(1, m_run->index(), SendHomeRun::LastEntry));
            if (!message.isEmpty())
                m_waiting.append(SendHSTracked(m_run->headEnd(), message));
        } catch (const Failure &f) {
            logError("Error frmAdmin_cmdOK1_Click)", f);
            // The rest of the head end still goes home.
        }
    }
    // The end line counts what the server took, so the run ends when the last message is
    // acknowledged or given up; a head end taken off line meanwhile sends nothing more, so
    // the wait has an end.
    if (m_run->finished() && (outcomesKnown() || ++m_ticksAfterEnd > MaxTicksAfterEnd))
        finishRun();
}

bool frmAdmin::outcomesKnown()
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        const SendOutcome outcome = takeSendOutcome(*it);
        if (outcome == SendOutcome::Waiting) {
            ++it;
            continue;
        }
        ++(outcome == SendOutcome::Acknowledged ? m_acknowledged : m_givenUp);
        it = m_waiting.erase(it);
    }
    return m_waiting.isEmpty();
}

void frmAdmin::finishRun()
{
    m_timeTake.stop();
    WriteLog("Send all channels home finished on " + settings().HEName[size_t(m_run->headEnd())] +
             ":" + Str(qint64(m_acknowledged)) + " message(s) acknowledged," +
             Str(qint64(m_givenUp)) + " given up" +
             (m_waiting.isEmpty() ? QByteArray()
                                  : "," + Str(qint64(m_waiting.size())) + " not answered"));
    m_waiting.clear();
    m_run.reset();
    close();
}

void frmAdmin::cmdDone_Click()
{
    close();
}

void frmAdmin::closeEvent(QCloseEvent *event)
{
    if (running()) {
        // Stopping half way would leave the head end half switched.
        event->ignore();
        return;
    }
    m_timeTake.stop();
    QWidget::closeEvent(event);
}

} // namespace vek
