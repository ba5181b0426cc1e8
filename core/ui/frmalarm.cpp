#include "frmalarm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "core/consolecore.h"
#include "platform/text.h"

namespace vek {

frmALARM::frmALARM(ConsoleCore *core, const QString &tag, const QByteArray &alarmText,
                   bool alarmFlag, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_core(core), m_tag(tag)
{
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(QStringLiteral("Alarm"), this);
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    m_title->setFont(bold);
    m_title->setAlignment(Qt::AlignCenter);
    m_msg = new QLabel(fromBytes(alarmText), this);
    // The text comes from the server: shown as it is, never read as markup.
    m_msg->setTextFormat(Qt::PlainText);
    m_msg->setWordWrap(true);
    m_msg->setMinimumWidth(320);
    m_ok = new QPushButton(QStringLiteral("Ok"), this);
    layout->addWidget(m_title);
    layout->addWidget(m_msg, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addStretch();
    layout->addLayout(buttons);
    setWindowTitle(QStringLiteral("Alarm"));

    m_title->installEventFilter(this);
    m_msg->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &frmALARM::cmdOk_Click);
    m_timeALARM.setInterval(1000);
    connect(&m_timeALARM, &QTimer::timeout, this, &frmALARM::timeALARM_Timer);
    if (alarmFlag)
        m_timeALARM.start();
}

void frmALARM::cmdOk_Click()
{
    close();
}

void frmALARM::closeEvent(QCloseEvent *event)
{
    // Acknowledged once, however the window is closed; then released.
    if (!m_acknowledged) {
        m_acknowledged = true;
        m_timeALARM.stop();
        if (m_core != nullptr)
            m_core->clearAlarm(m_tag, toBytes(m_msg->text()));
        deleteLater();
        emit acknowledged();
    }
    event->accept();
}

void frmALARM::timeALARM_Timer()
{
    ++m_beeps;
    QApplication::beep();
}

bool frmALARM::beginDrag(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    // The window manager moves it where it can; elsewhere the window follows the mouse.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove())
        return true;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    return true;
}

void frmALARM::mousePressEvent(QMouseEvent *event)
{
    if (!beginDrag(event))
        QWidget::mousePressEvent(event);
}

void frmALARM::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    else
        QWidget::mouseMoveEvent(event);
}

void frmALARM::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

bool frmALARM::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == m_title)
            return beginDrag(mouse);
        if (watched == m_msg) {
            // A press on the message brings the window to the front.
            raise();
            activateWindow();
            return false;
        }
    }
    if (watched == m_title && event->type() == QEvent::MouseMove && m_dragging) {
        mouseMoveEvent(static_cast<QMouseEvent *>(event));
        return true;
    }
    if (watched == m_title && event->type() == QEvent::MouseButtonRelease)
        m_dragging = false;
    return QWidget::eventFilter(watched, event);
}

} // namespace vek
