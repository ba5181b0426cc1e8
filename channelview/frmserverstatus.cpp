#include "frmserverstatus.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "serverstatustext.h"

namespace vek {

frmServerStatus::frmServerStatus(QWidget *parent)
    : QWidget(parent, Qt::Dialog), m_cmdClose(new QPushButton(QStringLiteral("Close"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Server Status"));
    auto *frame = new QGroupBox(QStringLiteral("Server Status"), this);
    auto *grid = new QGridLayout(frame);
    const Settings &s = settings();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        m_lblName[size_t(he)] = new QLabel(fromBytes(s.HEName[size_t(he)]), frame);
        m_lblStatus[size_t(he)] = new QLabel(frame);
        m_lblStatus[size_t(he)]->setMinimumWidth(260);
        grid->addWidget(m_lblName[size_t(he)], he - 1, 0);
        grid->addWidget(m_lblStatus[size_t(he)], he - 1, 1);
    }
    grid->setColumnStretch(1, 1);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_cmdClose);
    outer->addLayout(row);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);

    m_timeStatus.setInterval(1000);
    connect(&m_timeStatus, &QTimer::timeout, this, &frmServerStatus::timeStatus_Timer);
    m_timeStatus.start();
    timeStatus_Timer();
    DeactivationCloser::install(this);
}

QLabel *frmServerStatus::lblName(int headEnd) const
{
    return validHeadEnd(headEnd) ? m_lblName[size_t(headEnd)] : nullptr;
}

QLabel *frmServerStatus::lblStatus(int headEnd) const
{
    return validHeadEnd(headEnd) ? m_lblStatus[size_t(headEnd)] : nullptr;
}

void frmServerStatus::timeStatus_Timer()
{
    const QDateTime now = Clock::localNow();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        const QString text = serverStatusText(he, now);
        if (m_lblStatus[size_t(he)]->text() != text)
            m_lblStatus[size_t(he)]->setText(text);
    }
}

} // namespace vek
