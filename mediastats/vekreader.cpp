#include "vekreader.h"

#include "core/convert.h"
#include "filetext.h"
#include "platform/text.h"

namespace vek {

namespace {

// The field at 1-based positions [from, from + length), trimmed; empty past the end.
QByteArray column(QByteArrayView line, int from, int length)
{
    return fieldText(midView(line, from - 1, length));
}

} // namespace

void readVek(QByteArrayView bytes, MSRowTable &rows)
{
    rows.clear();
    checkSingleByteText(bytes);
    rows.reserve(bytes.count('\n') + 1);
    forEachLine(bytes, [&](int, QByteArrayView line) {
        const qint16 rowType = fieldNumber(midView(line, 0, 1));
        const qint16 srcNo = fieldNumber(midView(line, 73, 3));
        const qint16 destNo = fieldNumber(midView(line, 82, 3));
        MediaStatsRec &r = rows.append();
        r.RowType = rowType;
        r.AirDate = column(line, 3, 10);
        r.ExtraText1 = column(line, 14, 25);
        r.StartTime = column(line, 40, 5);
        r.EndTime = column(line, 46, 5);
        r.Description = column(line, 52, 19);
        r.MonBegMark = column(line, 72, 1);
        r.SrcNo = srcNo;
        r.SrcName = column(line, 78, 4);
        r.DestNo = destNo;
        r.DestName = column(line, 87, 4);
        r.CONumber = column(line, 92, 8);
        r.ExtraText2 = column(line, 101, 27);
        if (line.size() == 140 || line.size() == 150) {
            r.SrcName += column(line, 130, 4);
            r.DestName += column(line, 135, 4);
        }
        if (line.size() == 150) {
            r.StartTime += column(line, 140, 3);
            r.EndTime += column(line, 145, 3);
        }
        r.StartTime = FixTime(r.StartTime);
        r.EndTime = FixTime(r.EndTime);
    });
}

} // namespace vek
