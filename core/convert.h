#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>

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

QByteArray Pad3Byte(quint8 value);
QByteArray Pad4Int(qint16 value);
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
