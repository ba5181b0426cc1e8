#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <charconv>
#include <cstring>

namespace vek {

// "hh:mm:ss" arithmetic: operation "+" or "-"; with wrap, a negative difference wraps
// over midnight and a sum of 24 hours or more drops one day. Malformed input gives
// "00:00:00".
QByteArray TimeCalc(const QByteArray &first, const QByteArray &second, const QByteArray &op,
                    bool wrap);

// yyyymmdd * 100000 + seconds of the day. An invalid date or a time of 24:00:00 or more
// is an invalid-call error for the caller.
qint64 DateTimeKey(const QDate &date, const QByteArray &time);
qint64 DateKey(const QDateTime &when);

// The fixed-width numbers of an event text's header, written in place at its 1-based
// position. Pad3Byte: exactly three digits ("007"). Pad4Int: four characters, zeros
// before the number's text ("0012", "00-5"); a text of more than four characters gives
// "0000". Inline: an event text is made for every event message.
inline void Pad3Byte(char *header, int position, quint8 value)
{
    char *at = header + position - 1;
    at[0] = char('0' + value / 100);
    at[1] = char('0' + value / 10 % 10);
    at[2] = char('0' + value % 10);
}

inline void Pad4Int(char *header, int position, qint16 value)
{
    char digits[8];
    const qsizetype n = std::to_chars(digits, digits + sizeof digits, int(value)).ptr - digits;
    char *at = header + position - 1;
    if (n > 4) {
        std::memcpy(at, "0000", 4);
        return;
    }
    std::memset(at, '0', size_t(4 - n));
    std::memcpy(at + 4 - n, digits, size_t(n));
}

QByteArray Pad3Int(qint16 value);

// Big-endian unsigned number carried in 1 to 4 characters; other lengths give 0.
double BytesToNumber(const QByteArray &bytes);

// M/D/Y (media-stats files) to DD/MM/YYYY; "" for a month outside 1..12 or a day outside
// 1..31 (a day the month lacks is left to the conversion, which logs it).
QByteArray ConvertDateMDYtoDMY(const QByteArray &mdy);

// h:mm, hh:mm, h:mm:ss (one or two hour digits) to hh:mm:ss; any other shape unchanged.
QByteArray FixTime(const QByteArray &time);

// Hours, minutes and seconds of an "hh:mm:ss" text, read from positions 1-2, 4-5, 7-8.
struct TimeParts
{
    double hours = 0;
    double minutes = 0;
    double seconds = 0;
};
TimeParts timeParts(const QByteArray &time);

} // namespace vek
