#pragma once

#include <QObject>

namespace vek {

// The time-server link: one UDP socket, a request every 20th tick, the PC clock set from
// the answers. Placeholder interface; the link itself is being built.
class TimeLink : public QObject
{
    Q_OBJECT
public:
    explicit TimeLink(QObject *parent = nullptr);

    // Start-up: remote host and port from the time settings.
    void configure();
    // Start-up: binds the local port (time port + 1) on the chosen network card. Throws
    // a Failure numbered 10049 when that address is not available.
    void bind();
    // One tick of the 5-second time timer.
    void tick();
};

} // namespace vek
