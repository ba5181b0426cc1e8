#include "frmsetnics.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>

#include "core/settings.h"
#include "platform/text.h"

namespace vek {

frmSetNics::frmSetNics(QWidget *parent)
    : SettingsDialog(QStringLiteral("Network Settings"), QStringLiteral("Save"), parent)
{
    const QString frames[2] = {QStringLiteral("Broadcast Network Card IP Address"),
                               QStringLiteral("House Network Card IP Address")};
    const QByteArray values[2] = {settings().BroadcastNic, settings().HouseNic};
    for (int i = 0; i < 2; ++i) {
        auto *frame = new QGroupBox(frames[i], this);
        auto *inner = new QVBoxLayout(frame);
        m_ip[i] = new QLineEdit(fromBytes(values[i]), frame);
        inner->addWidget(m_ip[i]);
        body()->addWidget(frame);
    }
}

QLineEdit *frmSetNics::txtIP(int index) const
{
    return m_ip[index == 0 ? 0 : 1];
}

void frmSetNics::store()
{
    // Kept exactly as typed: an address the PC lacks shows at the next start.
    settings().BroadcastNic = toBytes(m_ip[0]->text());
    settings().HouseNic = toBytes(m_ip[1]->text());
    saveSettings();
}

} // namespace vek
