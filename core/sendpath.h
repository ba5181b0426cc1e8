#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace vek {

class HsSocket;

// The send side of the Hardware Server link: one queue per head end, one message in
// flight until it is acknowledged or re-sent four times, polls, and the WIN queue's
// messages in the gaps between polls.

// Queues a body (when not empty) for a head end and transmits what is due.
void SendHS(int headEnd, const QByteArray &body, int cmd = 0);

// What became of a message sent with SendHSTracked: acknowledged by the server, or given
// up (re-sends used up, or never transmitted because the link was down).
enum class SendOutcome { Waiting, Acknowledged, GivenUp };
// SendHS for a sender that counts outcomes; returns the message's ticket.
quint64 SendHSTracked(int headEnd, const QByteArray &body);
// The outcome of a ticket; a final one is forgotten once read.
SendOutcome takeSendOutcome(quint64 ticket);

// "1", the command digit, the list-number byte and the next sequence digit.
QByteArray BuildHSHeader(int headEnd, int cmd);

// One tick of a head end's re-send timer.
void HSResendTick(int headEnd);
// Milliseconds until the send flush may have something to transmit for a head end: 0 for
// now, the time until its next poll, or -1 while a message awaits its acknowledgement.
int msUntilSendDue(int headEnd);
// The acknowledgement test of an arrival: true when its first four characters are those
// of the message in flight, which then needs no more re-sends.
bool acknowledgeHS(int headEnd, const QByteArray &data);
// The two halves of acknowledgeHS, for the receive path, which answers the arrival in
// between: the test (and the end of the re-sends), and waking the send flush for what the
// head end may send next.
bool takeAcknowledgement(int headEnd, const QByteArray &data);
void wakeSendFlush(int headEnd);

// The socket of a head end (not owned); nullptr for none.
void setHsSocket(int headEnd, HsSocket *socket);
HsSocket *hsSocket(int headEnd);
// The local address of a head end's socket, or of this machine when it has none.
QString hsLocalAddress(int headEnd);

// Per-head-end state, readable for the link and for tests.
bool &Booted(int headEnd);
qint16 ResendLeft(int headEnd);
QByteArray LastSent(int headEnd);
qint16 HeaderSeq(int headEnd);
bool TroubleShown(int headEnd);
// The head end's link is down: its communication problem was raised, or it has no
// connected socket (never connected, or lost). What is queued for it is not sent.
bool HeadEndLinkDown(int headEnd);
// The head end's link was lost, or its server connected but fell silent: a command for it
// cannot be queued.
bool HeadEndLost(int headEnd);
int sendQueueSize(int headEnd);
// A message with this body waits in the head end's queue (not yet transmitted).
bool isWaitingHS(int headEnd, const QByteArray &body);
// The head end and flag handed to the last communication-problem window.
qint16 TroubleHE();
QByteArray TroubleFlag();

// Messages waiting beyond this many are logged once as a long queue.
constexpr int SendQueueLongAt = 10;
// While a server is silent its queue is kept up to this many messages; later ones are
// counted as not sent.
constexpr int HeldQueueCap = 1000;

// A message's bytes for a log line: printable characters as they are, others as <code>.
QByteArray printableBytes(const QByteArray &bytes);

} // namespace vek
