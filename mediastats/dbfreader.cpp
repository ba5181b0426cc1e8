#include "dbfreader.h"

#include "core/convert.h"
#include "dbftable.h"
#include "filetext.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {

constexpr int FieldsRead = 13;

} // namespace

void readDbf(QByteArrayView bytes, MSRowTable &rows)
{
    rows.clear();
    const DbfTable table(bytes);
    const auto &fields = table.fields();
    table.forEachRecord([&](QByteArrayView record) {
        QByteArray v[FieldsRead];
        for (size_t i = 0; i < FieldsRead && i < fields.size(); ++i)
            v[i] = DbfTable::valueText(fields[i], record);
        auto number = [&](int i) -> qint16 {
            if (v[i].isEmpty())
                return 0;
            // A logical true converts to the number -1, as a database value does.
            const char type = fields[size_t(i)].type;
            if (type == 'L' || type == 'l')
                return -1;
            return toInt16(strictNumber(v[i]));
        };
        const qint16 rowType = number(0);
        const qint16 srcNo = number(7);
        const qint16 destNo = number(9);
        MediaStatsRec &r = rows.append();
        r.RowType = rowType;
        r.AirDate = v[1];
        r.ExtraText1 = v[2];
        r.StartTime = FixTime(trimBlanks(v[3]));
        r.EndTime = FixTime(trimBlanks(v[4]));
        r.Description = v[5];
        r.MonBegMark = v[6];
        r.SrcNo = srcNo;
        r.SrcName = v[8];
        r.DestNo = destNo;
        r.DestName = v[10];
        r.CONumber = v[11];
        r.ExtraText2 = v[12];
    });
}

} // namespace vek
