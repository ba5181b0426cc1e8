#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vek {

class ConsoleCore;

// A head end's alarm: beeps every second until OK, which reports the clearing back to the
// head end named by the window's tag. No title bar: dragged by its background or title.
class frmALARM : public QWidget
{
    Q_OBJECT
public:
    frmALARM(ConsoleCore *core, const QString &tag, const QByteArray &alarmText, bool alarmFlag,
             QWidget *parent = nullptr);

    // OK; every other way of closing the window (the window manager's close, Alt+F4)
    // acknowledges the alarm the same way.
    void cmdOk_Click();
    void timeALARM_Timer();

    const QString &tag() const { return m_tag; }
    QLabel *lblTITLE() const { return m_title; }
    QLabel *lblMSG() const { return m_msg; }
    QPushButton *cmdOK() const { return m_ok; }
    bool beeping() const { return m_timeALARM.isActive(); }
    int beepCount() const { return m_beeps; }

signals:
    // The alarm was acknowledged; the window goes.
    void acknowledged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Left button: move the window as if its title bar had been grabbed.
    bool beginDrag(QMouseEvent *event);

    ConsoleCore *m_core;
    QString m_tag;
    QLabel *m_title;
    QLabel *m_msg;
    QPushButton *m_ok;
    QTimer m_timeALARM;
    int m_beeps = 0;
    bool m_dragging = false;
    bool m_acknowledged = false;
    QPoint m_dragOffset;
};

} // namespace vek
