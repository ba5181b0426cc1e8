#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "channelcommands.h"

class QComboBox;
class QProgressBar;
class QPushButton;

namespace vek {

// Administrator Options: re-send all events to the ESNI server, send every channel of a
// head end home to its default source, clear all events of a head end. A send-home run,
// once started, goes on to its last entry whatever happens to the window; every close
// asked for meanwhile waits for the end of the run, which closes the window.
class frmAdmin : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TakeIntervalMs = 500;

    explicit frmAdmin(QWidget *parent = nullptr);

    void imgCmbHE1_Click(int index);
    void imgCmbHE2_Click(int index);
    void cmdESNI_Click();
    void cmdOK1_Click();
    void cmdOK2_Click();
    void cmdDone_Click();
    void timeTake_Timer();

    int selHE1() const { return m_selHE1; }
    int selHE2() const { return m_selHE2; }
    bool running() const { return m_run.has_value(); }
    QTimer &timeTake() { return m_timeTake; }
    QComboBox *imgCmbHE1() const { return m_imgCmbHE1; }
    QComboBox *imgCmbHE2() const { return m_imgCmbHE2; }
    QProgressBar *progBar() const { return m_progBar; }
    QPushButton *cmdESNI() const { return m_cmdESNI; }
    QPushButton *cmdOK1() const { return m_cmdOK1; }
    QPushButton *cmdOK2() const { return m_cmdOK2; }
    QPushButton *cmdDone() const { return m_cmdDone; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    // The two confirmations of an operation; true when both were answered Yes.
    bool confirmed(const QString &title, const QString &text);
    bool refused(int headEnd, bool needsHeadEnd);
    // True when every message of the run is acknowledged or given up, counted.
    bool outcomesKnown();
    void finishRun();

    QComboBox *m_imgCmbHE1;
    QComboBox *m_imgCmbHE2;
    QProgressBar *m_progBar;
    QPushButton *m_cmdESNI;
    QPushButton *m_cmdOK1;
    QPushButton *m_cmdOK2;
    QPushButton *m_cmdDone;
    QTimer m_timeTake;
    int m_selHE1 = 0;
    int m_selHE2 = 0;
    std::optional<SendHomeRun> m_run;
    // The run's messages whose outcome is not known yet, and the counts of those known.
    QList<quint64> m_waiting;
    int m_acknowledged = 0;
    int m_givenUp = 0;
    int m_ticksAfterEnd = 0;
};

} // namespace vek
