#include "dbftable.h"

#include <QDate>

#include "filetext.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

namespace {

constexpr int FileHeaderSize = 32;
constexpr int DescriptorSize = 32;
constexpr char HeaderEnd = 0x0D;
constexpr char EndOfFile = 0x1A;

[[noreturn]] void badFormat()
{
    throw Failure(ErrorKind::InvalidFileFormat);
}

quint32 littleEndian(QByteArrayView bytes, int pos, int width)
{
    quint32 n = 0;
    for (int i = width - 1; i >= 0; --i)
        n = n * 256 + static_cast<unsigned char>(bytes[pos + i]);
    return n;
}

bool isDigits(QByteArrayView text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.isEmpty();
}

QByteArray dateText(QByteArrayView raw)
{
    if (raw.size() != 8 || !isDigits(raw))
        return {};
    const QDate date(raw.first(4).toInt(), raw.sliced(4, 2).toInt(), raw.sliced(6, 2).toInt());
    if (!date.isValid())
        return {};
    return zeroPadded(date.day(), 2) + '/' + zeroPadded(date.month(), 2) + '/' +
           zeroPadded(date.year(), 4);
}

} // namespace

DbfTable::DbfTable(QByteArrayView bytes) : m_bytes(bytes)
{
    if (bytes.size() < FileHeaderSize)
        badFormat();
    m_recordCount = littleEndian(bytes, 4, 4);
    m_headerLength = static_cast<int>(littleEndian(bytes, 8, 2));
    m_recordLength = static_cast<int>(littleEndian(bytes, 10, 2));
    if (m_headerLength <= FileHeaderSize || m_headerLength > bytes.size() || m_recordLength < 1)
        badFormat();

    int pos = FileHeaderSize;
    int offset = 1; // the deletion flag comes first
    while (pos < m_headerLength && bytes[pos] != HeaderEnd) {
        if (pos + DescriptorSize > m_headerLength)
            badFormat();
        const QByteArrayView d = bytes.sliced(pos, DescriptorSize);
        Field f;
        const QByteArrayView name = d.first(11);
        const qsizetype nul = name.indexOf('\0');
        f.name = (nul < 0 ? name : name.first(nul)).toByteArray();
        f.type = d[11];
        f.length = static_cast<unsigned char>(d[16]);
        // No dBASE field is empty or wider than 254 characters.
        if (f.length == 0 || f.length == 255)
            badFormat();
        f.offset = offset;
        offset += f.length;
        if (offset > m_recordLength)
            badFormat();
        m_fields.push_back(std::move(f));
        pos += DescriptorSize;
    }
    if (pos >= m_headerLength)
        badFormat();
}

void DbfTable::forEachRecord(const std::function<void(QByteArrayView)> &fn) const
{
    const qint64 size = m_bytes.size();
    for (qint64 i = 0; i < m_recordCount; ++i) {
        const qint64 start = m_headerLength + i * m_recordLength;
        if (start < size && m_bytes[start] == EndOfFile)
            return;
        if (start + m_recordLength > size)
            badFormat();
        const QByteArrayView record = m_bytes.sliced(start, m_recordLength);
        if (record[0] == '*')
            continue;
        fn(record);
    }
}

QByteArray DbfTable::valueText(const Field &field, QByteArrayView record)
{
    const QByteArrayView raw = record.sliced(field.offset, field.length);
    switch (field.type) {
    case 'C':
    case 'c': {
        // The database layer keeps leading blanks.
        QByteArray text = untrimmedText(raw);
        return fieldText(text).isEmpty() ? QByteArray() : text;
    }
    case 'N':
    case 'n':
    case 'F':
    case 'f': {
        // Some writers store an empty number as asterisks: a null, like blanks.
        QByteArray text = fieldText(raw);
        return text.count('*') == text.size() ? QByteArray() : text;
    }
    case 'D':
    case 'd':
        return dateText(fieldText(raw));
    case 'L':
    case 'l': {
        const QByteArray flag = fieldText(raw).toUpper();
        return flag.startsWith('T') || flag.startsWith('Y') ? QByteArray("True") : QByteArray();
    }
    case 'M':
    case 'm':
        return {};
    default:
        badFormat();
    }
}

} // namespace vek
