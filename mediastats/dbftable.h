#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <vector>

namespace vek {

// A dBASE table read straight from its bytes: the header (record count, header length,
// record length), the field descriptors up to the 0x0D mark and fixed-width records
// behind them. Every length is checked against the file's size before it is used; a
// table that does not hold together is an invalid-file-format Failure.
class DbfTable
{
public:
    struct Field
    {
        QByteArray name;
        char type = 'C';
        int offset = 0; // in the record, after the deletion flag
        int length = 0;
    };

    explicit DbfTable(QByteArrayView bytes);

    const std::vector<Field> &fields() const { return m_fields; }

    // Calls fn(record) for every record in order, records marked deleted left out, until
    // the record count or an end-of-file mark (0x1A). A record that reaches past the end
    // of the file is an invalid-file-format Failure.
    void forEachRecord(const std::function<void(QByteArrayView)> &fn) const;

    // The value of a field as the database layer gives it, as text: character fields
    // without their trailing blanks, numbers as their digits, dates as DD/MM/YYYY,
    // logical true as "True". Null values (blank fields, numbers of asterisks, a blank or
    // zero date, a false or unknown logical) and memo fields give "".
    static QByteArray valueText(const Field &field, QByteArrayView record);

private:
    QByteArrayView m_bytes;
    std::vector<Field> m_fields;
    quint32 m_recordCount = 0;
    int m_headerLength = 0;
    int m_recordLength = 0;
};

} // namespace vek
