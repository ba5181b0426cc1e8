#include "frmmediastats.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/selection.h"
#include "core/sendpath.h"
#include "mediastats/importchecks.h"
#include "mediastats/mediastatsimport.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

namespace {
// Every letter case ("x.Csv" too): the file dialog matches names exactly here.
const char *const Filter = "Media Stats (*.[dD][bB][fF] *.[vV][eE][kK] *.[cC][sS][vV] *.[vV][eE]2)";
} // namespace

frmMediaStats::frmMediaStats(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Open Media Stats File"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);

    auto *heads = new QGroupBox(QStringLiteral("Load Events For Head Ends"), this);
    auto *grid = new QGridLayout(heads);
    const int view = SelView();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        auto *box = new QCheckBox(fromBytes(settings().HEName[size_t(he)]), heads);
        const bool shown = view >= 1 && view <= MaxViews && settings().ShowHE[view][size_t(he)];
        // A head end whose link is down would only hold the rows in its queue.
        const bool usable = settings().HEOnLine[size_t(he)] && !HeadEndLinkDown(he);
        box->setChecked(shown && usable);
        box->setEnabled(usable);
        grid->addWidget(box, (he - 1) % 6, (he - 1) / 6);
        m_chkHE[size_t(he)] = box;
    }
    outer->addWidget(heads);

    auto *old = new QGroupBox(QStringLiteral("Load Old Events"), this);
    auto *oldRow = new QHBoxLayout(old);
    m_chkYes = new QCheckBox(QStringLiteral("Yes"), old);
    m_chkNo = new QCheckBox(QStringLiteral("No"), old);
    m_chkNo->setChecked(true);
    oldRow->addWidget(m_chkYes);
    oldRow->addWidget(m_chkNo);
    oldRow->addStretch();
    outer->addWidget(old);
    // A pair: a click on one sets the other to the opposite of its new state.
    connect(m_chkYes, &QCheckBox::clicked, this, [this](bool on) { m_chkNo->setChecked(!on); });
    connect(m_chkNo, &QCheckBox::clicked, this, [this](bool on) { m_chkYes->setChecked(!on); });

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("Open"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmMediaStats::cmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmMediaStats::cmdCancel_Click);
    DeactivationCloser::install(this);
}

void frmMediaStats::error(const QByteArray &text)
{
    DialogSeam::message(this, QMessageBox::Critical, QStringLiteral("Error."), fromBytes(text));
}

void frmMediaStats::cmdOK_Click()
{
    // The answers are taken now and stay with this import, whatever changes while the
    // file dialog is open.
    HeadEndSet ticked{};
    for (int he = 1; he <= MaxHeadEnds; ++he)
        ticked[size_t(he)] = m_chkHE[size_t(he)]->isChecked();
    if (const QByteArray refusal = importRefusal(ticked); !refusal.isEmpty()) {
        error(refusal);
        return;
    }
    MediaStatsImport run;
    run.LoadOldEvents = !m_chkNo->isChecked();

    QPointer<frmMediaStats> self(this);
    const QString path = DialogSeam::openFileName(this, QStringLiteral("Open"), QString(),
                                                  QString::fromLatin1(Filter));
    if (!self || path.isEmpty())
        return;
    // Someone may have logged out while the file dialog was open.
    if (const QByteArray refusal = importRefusal(ticked); !refusal.isEmpty()) {
        error(refusal);
        return;
    }
    try {
        run.readFile(path);
        run.convertRows(ticked);
    } catch (const Failure &f) {
        error(importErrorText(f.number(), f.description()));
        return;
    }
    close();
}

void frmMediaStats::cmdCancel_Click()
{
    close();
}

} // namespace vek
