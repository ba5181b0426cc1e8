#include "csvreader.h"

#include <QHash>
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

// The texts of one column: a column mostly repeats a few texts (dates, times, channel
// names, the C.O. number), and a text seen before shares the copy made then instead of
// making and storing one of its own. Columns of texts that rarely repeat only look at
// the row before; the others remember up to a cap of texts.
class Column
{
public:
    explicit Column(bool remember = true) : m_remember(remember) {}

    template <typename Make> const QByteArray &text(QByteArrayView raw, Make make)
    {
        if (m_made && raw == m_raw)
            return m_text;
        m_raw = raw;
        m_made = true;
        if (m_remember) {
            const auto seen = m_seen.constFind(raw);
            if (seen != m_seen.constEnd()) {
                m_text = *seen;
                return m_text;
            }
        }
        m_text = make(raw);
        if (m_remember && m_seen.size() < Remembered)
            m_seen.insert(raw, m_text);
        return m_text;
    }
    const QByteArray &text(QByteArrayView raw) { return text(raw, fieldText); }

private:
    static constexpr qsizetype Remembered = 4096;

    // Views into the file's bytes, which outlive the read.
    QByteArrayView m_raw;
    QByteArray m_text;
    bool m_made = false;
    bool m_remember;
    QHash<QByteArrayView, QByteArray> m_seen;
};

QByteArray airDateText(QByteArrayView raw)
{
    return ConvertDateMDYtoDMY(fieldText(raw));
}

QByteArray timeText(QByteArrayView raw)
{
    return FixTime(fieldText(raw));
}

} // namespace

void readCsv(QByteArrayView bytes, MSRowTable &rows)
{
    rows.clear();
    // Spreadsheets export "CSV UTF-8" with a byte-order mark; it can only stand in the
    // header line, which is skipped whatever it holds.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    checkSingleByteText(bytes);
    rows.reserve(bytes.count('\n') + 1);
    std::array<QByteArrayView, FieldsRead> f;
    std::array<Column, FieldsRead> c;
    c[5] = Column(false);  // descriptions
    c[16] = Column(false); // MediaPoint IDs
    forEachLine(bytes, [&](int number, QByteArrayView line) {
        if (number == 0 || line.isEmpty() || !splitFields(line, f))
            return;
        const QByteArray &airDate = c[1].text(f[1], airDateText);
        if (airDate.isEmpty())
            return;
        const qint16 rowType = fieldNumber(f[0]);
        const qint16 srcNo = fieldNumber(f[10]);
        const qint16 destNo = fieldNumber(f[12]);
        MediaStatsRec &r = rows.append();
        r.RowType = rowType;
        r.AirDate = airDate;
        r.ExtraText1 = c[2].text(f[2]);
        r.StartTime = c[3].text(f[3], timeText);
        r.EndTime = c[4].text(f[4], timeText);
        r.Description = c[5].text(f[5]);
        r.MonBegMark = c[6].text(f[6]);
        r.MonEndMark = c[7].text(f[7]);
        r.Comments = c[9].text(f[9]);
        r.SrcNo = srcNo;
        r.SrcName = c[11].text(f[11]);
        r.DestNo = destNo;
        r.DestName = c[13].text(f[13]);
        r.CONumber = c[14].text(f[14]);
        r.ExtraText2 = c[15].text(f[15]);
        r.MediaPointID = c[16].text(f[16]);
        r.Action = c[17].text(f[17]);
    });
}

} // namespace vek
