#include "eventkeys.h"
#include "moduleresets.h"

#include "platform/clock.h"
#include "platform/text.h"

namespace vek {

namespace {
struct KeyState
{
    QDateTime last; // the stamp of the last key, to the second
    int suffix = 0;
    bool lastTaken = false; // an import owns the whole of that second
};

KeyState &state()
{
    static KeyState s;
    return s;
}

QDateTime nowToTheSecond()
{
    QDateTime now = Clock::localNow();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return now;
}

QByteArray stampText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyMMddHHmmss")).toLatin1();
}
} // namespace

QByteArray NewEventKey()
{
    const QDateTime now = nowToTheSecond();
    KeyState &s = state();
    // Stamps only move forward within a run: a clock set back, or ten thousand keys in one
    // second, go on from the last stamp so keys stay unique.
    if (!s.last.isValid() || now > s.last) {
        s.last = now;
        s.suffix = 0;
    } else if (s.lastTaken || ++s.suffix > 9999) {
        s.last = s.last.addSecs(1);
        s.suffix = 0;
    }
    s.lastTaken = false;
    return stampText(s.last) + zeroPadded(s.suffix, 4);
}

QByteArray NewImportStamp()
{
    const QDateTime now = nowToTheSecond();
    KeyState &s = state();
    s.last = !s.last.isValid() || now > s.last ? now : s.last.addSecs(1);
    s.suffix = 0;
    s.lastTaken = true;
    return stampText(s.last);
}

void resetEventKeys()
{
    state() = KeyState();
}

} // namespace vek
