#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "linkhost.h"
// SendHS and WINADD, which the link's users call.
#include "sendpath.h"
#include "winqueue.h"

namespace vek {

class ConsoleUi;
class HsSocket;

// The Hardware Server links of all head ends: one socket per on-line head end and the
// timers that drive the send and receive paths.
class HsLink : public QObject, public LinkHost
{
    Q_OBJECT
public:
    using SocketFactory = std::function<std::unique_ptr<HsSocket>(int headEnd)>;

    explicit HsLink(ConsoleUi *ui, QObject *parent = nullptr);
    ~HsLink() override;

    // Sockets come from this factory instead of real TCP sockets (tests, simulations).
    void setSocketFactory(SocketFactory factory);

    // Start-up: each head end's re-send interval from its Retry_MS setting.
    void setRetryIntervals();
    // Start-up: connects every on-line head end to its main (or backup) address. A port
    // that is not a port number throws a Failure.
    void connectHeadEnds(bool useBackupServers);
    // Starts the send flush and the boot delay.
    void start();

    // Local address of a head end's socket (this machine's address when it has none).
    QString localAddress(int headEnd) const;
    HsSocket *socket(int headEnd) const;

    // Timer handlers; tests call them directly with the clock where they need it.
    void timeBuffer_Timer();
    void timeHSCTS_Timer(int headEnd);
    void timeBoot_Timer();
    void timeDashBoard_Timer();
    void timeUPDATE_Timer();
    void timeEventWait_Timer(int headEnd);

    QTimer &timeBuffer() { return m_timeBuffer; }
    QTimer &timeHSCTS(int headEnd);
    // Whether a head end's re-sends are being timed (its timer may still run a little
    // after they stop: it stops itself at its next tick).
    bool resendTimed(int headEnd) const;
    QTimer &timeBoot() { return m_timeBoot; }
    QTimer &timeDashBoard() { return m_timeDashBoard; }
    QTimer &timeUPDATE() { return m_timeUPDATE; }

    // LinkHost
    void restartResendTimer(int headEnd) override;
    void stopResendTimer(int headEnd) override;
    void restartUpdateTimer() override;
    void restartDashBoardTimer() override;
    void startEventWait(int headEnd) override;
    void sendDue() override;
    void rearmSendFlush(int headEnd) override;
    ConsoleUi *ui() override { return m_ui; }

private:
    static constexpr int HeadEndRows = 13;

    // Arms the flush for the next poll or message that may be due.
    void armSendFlush();
    // A restart of a burst's timer notes its new deadline only; the timer, started once,
    // waits out what is left of it when it fires: true while it still waits.
    void restartLazily(QTimer &timer, qint64 &due, int ms);
    bool waitOut(QTimer &timer, qint64 due);
    // A tick of a head end's re-send timer: a re-send when it is due, else the timer waits
    // out what is left or stops.
    void resendTimerFired(int headEnd);

    ConsoleUi *m_ui;
    bool m_flushing = false;
    bool m_inFlush = false;
    SocketFactory m_factory;
    std::array<std::unique_ptr<HsSocket>, HeadEndRows> m_sockets;
    QTimer m_timeBuffer;
    std::array<QTimer, HeadEndRows> m_timeHSCTS;
    // Every message sent restarts its head end's re-send timing and every acknowledgement
    // stops it: those note the next tick's time here (-1: stopped), and the timer, started
    // once, catches up when it fires, instead of a timer restart and stop per message.
    std::array<qint64, HeadEndRows> m_resendDue{};
    std::array<int, HeadEndRows> m_retryMs{};
    std::array<QTimer, HeadEndRows> m_timeEventWait;
    QTimer m_timeBoot;
    QTimer m_timeDashBoard;
    QTimer m_timeUPDATE;
    QElapsedTimer m_since;
    qint64 m_dashBoardDue = 0;
    qint64 m_updateDue = 0;
};

} // namespace vek
