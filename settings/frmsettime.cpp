#include "frmsettime.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/timebox.h"
#include "platform/widgets/typinglimit.h"
#include "storedlist.h"
#include "timeoffset.h"

namespace vek {

frmSetTime::frmSetTime(QWidget *parent)
    : SettingsDialog(QStringLiteral("Computer Time Reference"), QStringLiteral("Apply And Save"),
                     parent)
{
    auto *source = new QGroupBox(QStringLiteral("Time Source"), this);
    auto *sourceLayout = new QHBoxLayout(source);
    m_qrn = new QCheckBox(QStringLiteral("QRN Hardware Server"), source);
    m_ext = new QCheckBox(QStringLiteral("External Control"), source);
    sourceLayout->addWidget(m_qrn);
    sourceLayout->addWidget(m_ext);
    body()->addWidget(source);

    m_serverFrame = new QGroupBox(QStringLiteral("QRN Hardware Server Settings"), this);
    auto *grid = new QGridLayout(m_serverFrame);
    m_ip = new QLineEdit(m_serverFrame);
    TypingLimit::apply(m_ip, 15);
    m_port = new QLineEdit(m_serverFrame);
    TypingLimit::apply(m_port, 4);
    m_nic = new QComboBox(m_serverFrame);
    m_nic->addItems({QStringLiteral("Broadcast"), QStringLiteral("House")});
    grid->addWidget(new QLabel(QStringLiteral("Hardware Server IP"), m_serverFrame), 0, 0);
    grid->addWidget(m_ip, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Hardware Server Port #"), m_serverFrame), 1, 0);
    grid->addWidget(m_port, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Network Card"), m_serverFrame), 2, 0);
    grid->addWidget(m_nic, 2, 1);
    body()->addWidget(m_serverFrame);

    m_offsetFrame = new QGroupBox(QStringLiteral("Offset"), this);
    auto *offsetLayout = new QHBoxLayout(m_offsetFrame);
    m_signButtons[0] = new QPushButton(QStringLiteral("+"), m_offsetFrame);
    m_signButtons[1] = new QPushButton(QStringLiteral("-"), m_offsetFrame);
    m_sign = new QLabel(QStringLiteral("+"), m_offsetFrame);
    m_sign->setAlignment(Qt::AlignCenter);
    m_sign->setMinimumWidth(16);
    m_offset = makeTimeBox(m_offsetFrame);
    for (QPushButton *b : m_signButtons) {
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("+")) + 24);
        offsetLayout->addWidget(b);
    }
    offsetLayout->addWidget(m_sign);
    offsetLayout->addWidget(m_offset);
    offsetLayout->addStretch();
    body()->addWidget(m_offsetFrame);

    const Settings &s = settings();
    m_qrn->setChecked(s.UseQRNTime);
    m_ext->setChecked(!s.UseQRNTime);
    enableServerGroup(s.UseQRNTime);
    m_ip->setText(fromBytes(s.TimeServerIP));
    m_port->setText(fromBytes(s.TimeServerPort));
    showStoredValue(m_nic, s.TimeNic);
    m_sign->setText(fromBytes(offsetSign(s.TimeOffset)));
    m_offset->setText(fromBytes(offsetTime(s.TimeOffset)));

    connect(m_qrn, &QCheckBox::toggled, this, &frmSetTime::chkQRN_Click);
    connect(m_ext, &QCheckBox::toggled, this, &frmSetTime::chkEXT_Click);
    connect(m_signButtons[0], &QPushButton::clicked, this, [this] { cmdOS_Click(0); });
    connect(m_signButtons[1], &QPushButton::clicked, this, [this] { cmdOS_Click(1); });
}

// The two boxes always say opposite things.
void frmSetTime::chkQRN_Click()
{
    m_ext->setChecked(!m_qrn->isChecked());
    enableServerGroup(m_qrn->isChecked());
}

void frmSetTime::chkEXT_Click()
{
    m_qrn->setChecked(!m_ext->isChecked());
    enableServerGroup(!m_ext->isChecked());
}

void frmSetTime::enableServerGroup(bool on)
{
    m_serverFrame->setEnabled(on);
    m_offsetFrame->setEnabled(on);
}

void frmSetTime::cmdOS_Click(int index)
{
    m_sign->setText(index == 0 ? QStringLiteral("+") : QStringLiteral("-"));
}

void frmSetTime::store()
{
    Settings &s = settings();
    s.UseQRNTime = !m_ext->isChecked();
    s.TimeServerIP = toBytes(m_ip->text());
    s.TimeServerPort = toBytes(m_port->text());
    s.TimeNic = chosenValue(m_nic);
    s.TimeOffset = offsetToStore(toBytes(trimBlanks(m_sign->text())), timeBoxText(m_offset));
    saveSettings();
}

} // namespace vek
