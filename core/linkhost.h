#pragma once

namespace vek {

class ConsoleUi;

// What the send and receive paths need from the object that owns the link's timers and
// windows. The link registers itself; without one, timer restarts and windows are skipped.
class LinkHost
{
public:
    virtual ~LinkHost() = default;

    // Disables and enables a head end's re-send timer (restarting its interval).
    virtual void restartResendTimer(int headEnd) = 0;
    virtual void stopResendTimer(int headEnd) = 0;
    // The one-shot refresh timers (1 s and 2 s after the last event change).
    virtual void restartUpdateTimer() = 0;
    virtual void restartDashBoardTimer() = 0;
    // Short wait for the rest of a split event message.
    virtual void startEventWait(int headEnd) = 0;
    // A head end may have something to send (an acknowledgement arrived, re-sends ran out,
    // a WIN message was queued): the send flush runs within its 10 ms.
    virtual void sendDue() {}
    // A head end's exchange ended with nothing queued: the flush wakes when its next poll
    // is due.
    virtual void rearmSendFlush(int /*headEnd*/) {}
    virtual ConsoleUi *ui() = 0;
};

// The registered host, or nullptr.
LinkHost *linkHost();
void setLinkHost(LinkHost *host);

} // namespace vek
