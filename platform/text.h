#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

namespace vek {

// Decimal text with a leading blank for zero and positive numbers, as in log lines
// and captions (" 3", "-3").
QByteArray Str(qint64 n);
QByteArray Str(double n);
// The same without the leading blank.
QByteArray CStr(qint64 n);
QByteArray CStr(double n);

// Removes leading and trailing blanks (code 32) only; TAB, CR and LF stay.
QByteArray trimBlanks(const QByteArray &text);
QString trimBlanks(const QString &text);

// Single-byte text at the user-interface edge: one byte is one character both ways.
// Characters outside Latin-1 become "?".
inline QString fromBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}
QByteArray toBytes(const QString &text);

// Control bytes (below 32, and 127) as "<n>", so text from outside cannot break a log
// line or start one that looks like the console's own; with highBytes the bytes above 126
// too (wire bytes). Text without control bytes comes back unchanged.
QByteArray visibleBytes(QByteArrayView bytes, bool highBytes = false);

// A file name as the file system's bytes, readable in a log line: UTF-8 shown as its
// characters, any other name (a Latin-1 name from a Windows share) as the bytes it is.
QByteArray readableFileName(const QByteArray &raw);

// Fixed-width decimal with leading zeros, for dates and times ("07").
QByteArray zeroPadded(qint64 n, int width);

// Blanks (code 32 only) off both ends, as a view: no copy for a comparison or a parse.
inline QByteArrayView blanksTrimmed(QByteArrayView text)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

// Part of a text from a 0-based position, clamped to the text: never reads past its end.
inline QByteArrayView midView(QByteArrayView text, qsizetype pos, qsizetype len)
{
    if (pos < 0 || pos >= text.size() || len <= 0)
        return {};
    return text.sliced(pos, qMin(len, text.size() - pos));
}

// A date in the system's short date format.
QByteArray shortDate(const QDate &date);

} // namespace vek
