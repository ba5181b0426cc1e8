#include "frmtrouble.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "platform/text.h"

namespace vek {

frmTrouble::frmTrouble(int troubleHE, bool useBackupServers, QWidget *parent)
    : QWidget(parent, Qt::Window), m_he(troubleHE)
{
    setWindowTitle(QStringLiteral("Communication Problem"));
    auto *layout = new QVBoxLayout(this);
    m_lbl = new QLabel(troubleText(troubleHE, useBackupServers), this);
    m_lbl->setWordWrap(true);
    m_lbl->setMinimumWidth(400);
    layout->addWidget(m_lbl, 1);
    auto *buttons = new QHBoxLayout;
    m_close = new QPushButton(QStringLiteral("Close"), this);
    buttons->addStretch();
    buttons->addWidget(m_close);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_close, &QPushButton::clicked, this, &frmTrouble::cmdClose_Click);
    m_timer1.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, &frmTrouble::Timer1_Timer);
    m_timer1.start();
}

QString frmTrouble::troubleText(int headEnd, bool useBackupServers)
{
    // A head end outside the table names no server rather than reading past it.
    const bool known = validHeadEnd(headEnd);
    const Settings &s = settings();
    const QByteArray name = known ? s.HEName[headEnd] : QByteArray();
    const QByteArray address = !known             ? QByteArray()
                               : useBackupServers ? s.HEBackupIP[headEnd] + " (Backup)"
                                                  : s.HEMainIP[headEnd] + " (Main)";
    return fromBytes(
        "A problem has occured.  This application is no longer getting responses back from the " +
        name +
        " Hardware Server.  Please verify that the network connection and Hardware Server are "
        "functional.  The Hardware Server IP address should be " +
        address +
        ".  Please restart this program if you would like to try to connect back to this "
        "Hardware Server.");
}

void frmTrouble::cmdClose_Click()
{
    close();
}

void frmTrouble::closeEvent(QCloseEvent *event)
{
    // However it is closed, the beeping stops and the window goes.
    m_timer1.stop();
    deleteLater();
    event->accept();
}

void frmTrouble::Timer1_Timer()
{
    ++m_beeps;
    QApplication::beep();
}

} // namespace vek
