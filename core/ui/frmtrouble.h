#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vek {

// "Communication Problem": a head end's Hardware Server stopped answering. Beeps every
// second until closed.
class frmTrouble : public QWidget
{
    Q_OBJECT
public:
    frmTrouble(int troubleHE, bool useBackupServers, QWidget *parent = nullptr);

    // The label's text for a head end, naming the address in use.
    static QString troubleText(int headEnd, bool useBackupServers);

    // Close; the window manager's close does the same.
    void cmdClose_Click();
    void Timer1_Timer();

    int troubleHE() const { return m_he; }
    QLabel *lbl() const { return m_lbl; }
    QPushButton *cmdClose() const { return m_close; }
    bool beeping() const { return m_timer1.isActive(); }
    int beepCount() const { return m_beeps; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    int m_he;
    QLabel *m_lbl;
    QPushButton *m_close;
    QTimer m_timer1;
    int m_beeps = 0;
};

} // namespace vek
