#include "convert.h"

#include <charconv>

#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {

QByteArray twoDigits(qint64 n)
{
    return n < 10 && n >= 0 ? '0' + QByteArray::number(n) : QByteArray::number(n);
}

QByteArray leftPadZero(QByteArray text, int width)
{
    if (text.size() < width)
        text.prepend(QByteArray(width - text.size(), '0'));
    return text;
}

} // namespace

TimeParts timeParts(const QByteArray &time)
{
    return {leadingValue(midView(time, 0, 2)), leadingValue(midView(time, 3, 2)),
            leadingValue(midView(time, 6, 2))};
}

QByteArray TimeCalc(const QByteArray &first, const QByteArray &second, const QByteArray &op,
                    bool wrap)
{
    static const QByteArray zero = "00:00:00";
    if (first.size() != 8 || second.size() != 8 || op.size() != 1)
        return zero;
    constexpr qint64 hour = 108000, minute = 1800, sec = 30;
    auto thirtieths = [](const QByteArray &t) {
        const TimeParts p = timeParts(t);
        return static_cast<qint64>(
            std::llround(p.seconds * sec + p.minutes * minute + p.hours * hour));
    };
    qint64 a = thirtieths(first);
    const qint64 b = thirtieths(second);
    qint64 value;
    if (op == "-") {
        if (a < b) {
            if (!wrap)
                return zero;
            a += 24 * hour;
        }
        value = a - b;
    } else if (op == "+") {
        value = a + b;
    } else {
        return zero;
    }
    qint64 hours = value / hour;
    value -= hours * hour;
    const qint64 minutes = value / minute;
    value -= minutes * minute;
    const qint64 seconds = value / sec;
    if (wrap && hours >= 24)
        hours -= 24;
    return twoDigits(hours) + ':' + twoDigits(minutes) + ':' + twoDigits(seconds);
}

qint64 DateTimeKey(const QDate &date, const QByteArray &time)
{
    // One reading of the date: each of year(), month() and day() reads it anew.
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid() || year < 1 || year > 9999)
        throw Failure(ErrorKind::InvalidCall);
    const TimeParts p = timeParts(time);
    const double secs = p.hours * 3600 + p.minutes * 60 + p.seconds;
    // Seconds of 86400 and more would overwrite the date digits.
    if (secs < 0 || secs >= 86400)
        throw Failure(ErrorKind::InvalidCall);
    const qint64 ymd = year * 10000LL + month * 100 + day;
    return ymd * 100000 + static_cast<qint64>(secs);
}

qint64 DateKey(const QDateTime &when)
{
    const QTime t = when.time();
    const QByteArray text =
        twoDigits(t.hour()) + ':' + twoDigits(t.minute()) + ':' + twoDigits(t.second());
    return DateTimeKey(when.date(), text);
}

QByteArray Pad3Int(qint16 value)
{
    if (value < 0 || value > 999)
        return "";
    return leftPadZero(QByteArray::number(value), 3);
}

double BytesToNumber(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > 4)
        return 0;
    double n = 0;
    for (char c : bytes)
        n = n * 256 + static_cast<unsigned char>(c);
    return n;
}

QByteArray ConvertDateMDYtoDMY(const QByteArray &mdy)
{
    // Read in place: a media-stats import converts a date per row.
    const qsizetype first = mdy.indexOf('/');
    const qsizetype second = first < 0 ? -1 : mdy.indexOf('/', first + 1);
    if (second < 0 || mdy.indexOf('/', second + 1) >= 0)
        return "";
    const QByteArrayView text(mdy);
    try {
        const int month = toInt32(leadingValue(text.first(first)));
        const int day = toInt32(leadingValue(text.sliced(first + 1, second - first - 1)));
        int year = toInt32(leadingValue(text.sliced(second + 1)));
        if (year < 100)
            year += 2000;
        // A day the month does not have (2/30/2024) passes: the conversion refuses the
        // row and logs it.
        if (month < 1 || month > 12 || day < 1 || day > 31)
            return "";
        char out[24] = {char('0' + day / 10),   char('0' + day % 10),   '/',
                        char('0' + month / 10), char('0' + month % 10), '/'};
        const auto end = std::to_chars(out + 6, out + sizeof out, year).ptr;
        return QByteArray(out, end - out);
    } catch (const Failure &) {
        return "";
    }
}

QByteArray FixTime(const QByteArray &time)
{
    // Only h:mm, hh:mm, h:mm:ss and hh:mm:ss: any other shape ("930", "1:30 PM", "")
    // stays as it is, so the conversion refuses it instead of reading it at fixed
    // positions as another time.
    const auto digits = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i) {
            if (time.at(i) < '0' || time.at(i) > '9')
                return false;
        }
        return true;
    };
    const qsizetype colon = time.indexOf(':');
    if (colon < 1 || colon > 2 || !digits(0, colon))
        return time;
    const qsizetype rest = time.size() - colon;
    const bool minutes = rest == 3 && digits(colon + 1, 2);
    const bool seconds =
        rest == 6 && digits(colon + 1, 2) && time.at(colon + 3) == ':' && digits(colon + 4, 2);
    if ((!minutes && !seconds) || (colon == 2 && seconds))
        return time;
    QByteArray out;
    out.reserve(8);
    if (colon == 1)
        out += '0';
    out += time;
    if (minutes)
        out += ":00";
    return out;
}

} // namespace vek
