// The time server's answer: any datagram from the server or from elsewhere, with any
// offset, is used or ignored cleanly; a time it sets is a real time of day.

#include "core/settings.h"
#include "core/timelink.h"
#include "fuzzsupport.h"
#include "platform/clocksetter.h"

namespace {
// Never the real clock: a setter that only checks what it is given.
class CheckingSetter : public vek::ClockSetter
{
public:
    void setLocalTime(const QDateTime &local) override
    {
        vekfuzz::require(local.isValid(), "the clock is set to a valid time");
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    static vek::TimeLink *link = [] {
        static CheckingSetter setter;
        vek::ClockSetter::install(&setter);
        vek::settings().UseQRNTime = true;
        vek::settings().TimeServerIP = "10.0.0.9";
        return new vek::TimeLink;
    }();
    if (size < 1)
        return 0;
    // First byte: the sender and whether the offset comes from the input too.
    const bool fromServer = data[0] & 1;
    const QByteArray in = vekfuzz::bytes(data + 1, size - 1);
    QByteArray datagram = in;
    vek::settings().TimeOffset = "+00:00:00";
    if (data[0] & 2) {
        vek::settings().TimeOffset = in.left(9);
        datagram = in.mid(9);
    }
    const QByteArray v = vek::funTIMECALC(datagram.mid(1), vek::settings().TimeOffset);
    vekfuzz::require(
        v.isEmpty() ||
            QTime::fromString(QString::fromLatin1(v), QStringLiteral("HH:mm:ss")).isValid(),
        "a computed time is a time of day");
    link->winTime_DataArrival(datagram, QHostAddress(fromServer ? QStringLiteral("10.0.0.9")
                                                                : QStringLiteral("10.0.0.66")));
    return 0;
}
