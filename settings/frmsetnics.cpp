#include "frmsetnics.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"

namespace vek {

frmSetNics::frmSetNics(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Network Settings"));
    auto *layout = new QVBoxLayout(this);
    const QString frames[2] = {QStringLiteral("Broadcast Network Card IP Address"),
                               QStringLiteral("House Network Card IP Address")};
    const QByteArray values[2] = {settings().BroadcastNic, settings().HouseNic};
    for (int i = 0; i < 2; ++i) {
        auto *frame = new QGroupBox(frames[i], this);
        auto *inner = new QVBoxLayout(frame);
        m_ip[i] = new QLineEdit(fromBytes(values[i]), frame);
        inner->addWidget(m_ip[i]);
        layout->addWidget(frame);
    }
    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("Save"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmSetNics::cmdOk_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmSetNics::cmdCancel_Click);
    DeactivationCloser::install(this);
}

QLineEdit *frmSetNics::txtIP(int index) const
{
    return m_ip[index == 0 ? 0 : 1];
}

void frmSetNics::cmdOk_Click()
{
    // Kept exactly as typed: an address the PC lacks shows at the next start.
    settings().BroadcastNic = toBytes(m_ip[0]->text());
    settings().HouseNic = toBytes(m_ip[1]->text());
    SaveSettings();
    close();
    deleteLater();
}

void frmSetNics::cmdCancel_Click()
{
    close();
    deleteLater();
}

} // namespace vek
