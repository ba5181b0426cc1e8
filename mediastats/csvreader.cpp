#include "csvreader.h"

#include <array>

#include "core/convert.h"
#include "filetext.h"

namespace vek {

namespace {

constexpr int FieldsRead = 18;

// The first 18 fields of a line, split at every comma (there is no quoting); false
// when the line has fewer.
bool splitFields(QByteArrayView line, std::array<QByteArrayView, FieldsRead> &fields)
{
    qsizetype start = 0;
    for (int i = 0; i < FieldsRead; ++i) {
        if (start > line.size())
            return false;
        qsizetype comma = line.indexOf(',', start);
        if (comma < 0)
            comma = line.size();
        fields[size_t(i)] = line.sliced(start, comma - start);
        start = comma + 1;
    }
    return true;
}

} // namespace

void readCsv(QByteArrayView bytes, MSRowTable &rows)
{
    rows.clear();
    checkSingleByteText(bytes);
    rows.reserve(bytes.count('\n') + 1);
    std::array<QByteArrayView, FieldsRead> f;
    forEachLine(bytes, [&](int number, QByteArrayView line) {
        if (number == 0 || line.isEmpty() || !splitFields(line, f))
            return;
        const QByteArray airDate = ConvertDateMDYtoDMY(fieldText(f[1]));
        if (airDate.isEmpty())
            return;
        const qint16 rowType = fieldNumber(f[0]);
        const qint16 srcNo = fieldNumber(f[10]);
        const qint16 destNo = fieldNumber(f[12]);
        MediaStatsRec &r = rows.append();
        r.RowType = rowType;
        r.AirDate = airDate;
        r.ExtraText1 = fieldText(f[2]);
        r.StartTime = FixTime(fieldText(f[3]));
        r.EndTime = FixTime(fieldText(f[4]));
        r.Description = fieldText(f[5]);
        r.MonBegMark = fieldText(f[6]);
        r.MonEndMark = fieldText(f[7]);
        r.Comments = fieldText(f[9]);
        r.SrcNo = srcNo;
        r.SrcName = fieldText(f[11]);
        r.DestNo = destNo;
        r.DestName = fieldText(f[13]);
        r.CONumber = fieldText(f[14]);
        r.ExtraText2 = fieldText(f[15]);
        r.MediaPointID = fieldText(f[16]);
        r.Action = fieldText(f[17]);
    });
}

} // namespace vek
