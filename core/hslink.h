#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vek {

class ConsoleUi;

// The Hardware Server links of all head ends: sockets, send queues, re-send and poll
// timers, the receive path. Placeholder interface; the link itself is being built.
class HsLink : public QObject
{
    Q_OBJECT
public:
    explicit HsLink(ConsoleUi *ui, QObject *parent = nullptr);
    ~HsLink() override;

    // Start-up: each head end's re-send interval from its Retry_MS setting.
    void setRetryIntervals();
    // Start-up: connects every on-line head end to its main (or backup) address.
    void connectHeadEnds(bool useBackupServers);
    // Starts the send flush and the boot delay.
    void start();

    // Local address of a head end's socket ("" when it has none).
    QString localAddress(int headEnd) const;

private:
    ConsoleUi *m_ui;
};

// Queues a body for a head end's Hardware Server and sends what is due.
void SendHS(int headEnd, const QByteArray &body, int cmd = 0);
// Adds a body to the shared WIN queue for a head end.
void WINADD(const QByteArray &msg, int headEnd);

} // namespace vek
