#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include "platform/failure.h"

namespace vek {

// Caps on what a media-stats file may hold: no real file comes near them, and past them
// the file is refused before it fills memory.
constexpr qint64 MaxMediaStatsFileSize = 64LL * 1024 * 1024;
constexpr qsizetype MaxMediaStatsLine = 64 * 1024;

// Refuses what is not single-byte text: a UTF-8 byte-order mark (in a file without a
// header line it would become part of the first row's first column) or a NUL byte (a binary or
// UTF-16 file, whose lines would read as no rows at all and the file count as loaded).
void checkSingleByteText(QByteArrayView bytes);

// Calls fn(lineNumber, line) for every line (numbered from 0), its CR LF, LF or CR taken
// off. A line end at the very end of the text does not start another, empty line. A
// line longer than the cap is an invalid-file-format Failure.
template <typename Fn> void forEachLine(QByteArrayView bytes, Fn fn)
{
    const qsizetype size = bytes.size();
    const char *data = bytes.data();
    qsizetype start = 0;
    int number = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end - start > MaxMediaStatsLine)
            throw Failure(ErrorKind::InvalidFileFormat);
        fn(number++, bytes.sliced(start, end - start));
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

// A control character (codes 0..31 and 127); it becomes a blank before it can reach the
// event text, where a TAB, CR or LF would shift the fields after it.
inline bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || u == 127;
}

// The text of a field: control characters as blanks, leading and trailing blanks removed.
QByteArray fieldText(QByteArrayView raw);
// The same with leading blanks kept (the database layer gives character fields so).
QByteArray untrimmedText(QByteArrayView raw);
// A number field: the leading numeric value of the field's text as a 16-bit integer;
// out of range is an overflow Failure.
qint16 fieldNumber(QByteArrayView raw);

} // namespace vek
