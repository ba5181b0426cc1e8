#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

// Media-stats files built byte by byte, so every test knows exactly what it reads.
namespace samples {

// One CSV line of the given fields, joined by commas.
inline QByteArray csvLine(const QList<QByteArray> &fields)
{
    return fields.join(',');
}

// A CSV row of 18 fields: type, date (M/D/Y), start, end, description, source name,
// destination name, C.O. number, MediaPoint ID and action; the rest filled in.
struct CsvRow
{
    QByteArray date = "3/5/2024";
    QByteArray start = "12:00";
    QByteArray end = "12:30";
    QByteArray description = "Program";
    QByteArray src = "SUB1";
    QByteArray dest = "ESPN";
    QByteArray co = "1000";
    QByteArray id;
    QByteArray action;
    QByteArray monBeg;
    QByteArray comments = "note";

    QList<QByteArray> fields() const
    {
        return {"1",      date, "x1", start, end,  description, monBeg, "", "n8",
                comments, "0",  src,  "0",   dest, co,          "x2",   id, action};
    }
    QByteArray line() const { return csvLine(fields()); }
};

inline QByteArray csvFile(const QList<QByteArray> &lines, const QByteArray &eol = "\r\n")
{
    QByteArray out = "Type,Date,X,Start,End,Desc,MonB,MonE,N,Comm,SNo,Src,DNo,Dest,CO,X2,ID,Act";
    for (const QByteArray &l : lines)
        out += eol + l;
    return out + eol;
}

// A VEK line: each value put at its 1-based position, blanks between; the line is cut
// or padded with blanks to length.
struct VekColumn
{
    int position;
    QByteArray text;
};
inline QByteArray vekLine(const std::vector<VekColumn> &columns, int length)
{
    QByteArray line(length, ' ');
    for (const VekColumn &c : columns) {
        for (int i = 0; i < c.text.size() && c.position - 1 + i < length; ++i)
            line[c.position - 1 + i] = c.text.at(i);
    }
    return line;
}

// A VEK row with the usual columns.
inline QByteArray vekRow(const QByteArray &date, const QByteArray &start, const QByteArray &end,
                         const QByteArray &description, const QByteArray &src,
                         const QByteArray &dest, const QByteArray &co, int length)
{
    return vekLine({{1, "1"},
                    {3, date},
                    {14, "extra one"},
                    {40, start},
                    {46, end},
                    {52, description},
                    {74, "007"},
                    {78, src.left(4)},
                    {83, "008"},
                    {87, dest.left(4)},
                    {92, co},
                    {101, "extra two"},
                    {130, src.mid(4, 4)},
                    {135, dest.mid(4, 4)}},
                   length);
}

struct DbfField
{
    QByteArray name;
    char type;
    int length;
};
struct DbfRecord
{
    std::vector<QByteArray> values; // as stored: padded to the field's width here
    bool deleted = false;
};

inline void putLe(QByteArray &out, int pos, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        out[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A dBASE III table: header, descriptors, 0x0D, records (character values left-aligned,
// other types right-aligned, padded with blanks), 0x1A.
inline QByteArray dbfFile(const std::vector<DbfField> &fields,
                          const std::vector<DbfRecord> &records)
{
    int recordLength = 1;
    for (const DbfField &f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    QByteArray out(32, '\0');
    out[0] = 0x03;
    out[1] = 124;
    out[2] = 3;
    out[3] = 5;
    putLe(out, 4, quint32(records.size()), 4);
    putLe(out, 8, quint32(headerLength), 2);
    putLe(out, 10, quint32(recordLength), 2);
    for (const DbfField &f : fields) {
        QByteArray d(32, '\0');
        d.replace(0, f.name.left(10).size(), f.name.left(10));
        d[11] = f.type;
        d[16] = static_cast<char>(f.length);
        out += d;
    }
    out += '\x0D';
    for (const DbfRecord &r : records) {
        out += r.deleted ? '*' : ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            const QByteArray v = i < r.values.size() ? r.values[i] : QByteArray();
            const int w = fields[i].length;
            out += fields[i].type == 'C' ? v.leftJustified(w, ' ', true)
                                         : v.rightJustified(w, ' ', true);
        }
    }
    out += '\x1A';
    return out;
}

// The thirteen fields the reader takes by position, most as characters.
inline std::vector<DbfField> dbfFields(int count = 13)
{
    std::vector<DbfField> f = {
        {"ROWTYPE", 'N', 5}, {"AIRDATE", 'D', 8}, {"EXTRA1", 'C', 10},  {"START", 'C', 8},
        {"END", 'C', 8},     {"DESCR", 'C', 20},  {"MONBEG", 'L', 1},   {"SRCNO", 'N', 5},
        {"SRCNAME", 'C', 8}, {"DESTNO", 'N', 5},  {"DESTNAME", 'C', 8}, {"CONUM", 'C', 8},
        {"EXTRA2", 'C', 10},
    };
    f.resize(size_t(count));
    return f;
}

} // namespace samples
