#include "eventkeys.h"

#include "platform/clock.h"
#include "platform/text.h"

namespace vek {

namespace {
struct KeyState
{
    QDateTime last; // the stamp of the last key, to the second
    int suffix = 0;
};

KeyState &state()
{
    static KeyState s;
    return s;
}
} // namespace

QByteArray NewEventKey()
{
    QDateTime now = Clock::localNow();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    KeyState &s = state();
    // Stamps only move forward within a run: a clock set back, or ten thousand keys in one
    // second, go on from the last stamp so keys stay unique.
    if (!s.last.isValid() || now > s.last) {
        s.last = now;
        s.suffix = 0;
    } else if (++s.suffix > 9999) {
        s.last = s.last.addSecs(1);
        s.suffix = 0;
    }
    return s.last.toString(QStringLiteral("yyMMddHHmmss")).toLatin1() + zeroPadded(s.suffix, 4);
}

void resetEventKeys()
{
    state() = KeyState();
}

} // namespace vek
