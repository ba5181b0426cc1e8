#include "eventtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "convert.h"
#include "eventtable.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "receivestate.h"

namespace vek {

namespace {

// A TAB, CR or LF inside a field would shift every field after it on the wire.
QByteArray field(const QByteArray &text)
{
    QByteArray out = text;
    for (char &c : out) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

void put(QByteArray &header, int position, const QByteArray &text)
{
    header.replace(position - 1, text.size(), text);
}

QByteArray flag(bool on)
{
    return on ? "1" : "0";
}

QByteArrayView slice(const QByteArray &header, int position, int width)
{
    return midView(header, position - 1, width);
}

quint8 byteAt(const QByteArray &header, int position)
{
    return toByte(leadingValue(slice(header, position, 3)));
}

qint16 intAt(const QByteArray &header, int position)
{
    return toInt16(leadingValue(slice(header, position, 4)));
}

// One part of the date field: digits only, else a type mismatch.
int datePart(QByteArrayView text)
{
    if (text.isEmpty())
        throw Failure(ErrorKind::TypeMismatch);
    for (char c : text) {
        if (c < '0' || c > '9')
            throw Failure(ErrorKind::TypeMismatch);
    }
    return toInt32(leadingValue(text));
}

// Start and end keys are whole numbers: a plain run of digits is read exactly, since
// through a double a long run would come back different each time it is written and read.
// Other forms take their numeric value, rounded and held inside the 64-bit range.
qint64 keyValue(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const qsizetype digitsFrom = i;
    quint64 value = 0;
    bool fits = true;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + quint64(text[i] - '0');
        if (value > quint64(std::numeric_limits<qint64>::max())) {
            fits = false;
            break;
        }
    }
    if (fits && i > digitsFrom && (i == text.size() || text[i] != '.'))
        return negative ? -qint64(value) : qint64(value);
    return static_cast<qint64>(std::llround(std::clamp(leadingValue(text), -9.0e18, 9.0e18)));
}

QDate parseWireDate(const QByteArray &text)
{
    const QByteArray t = trimBlanks(text);
    if (t.size() != 10 || t.at(2) != '/' || t.at(5) != '/')
        throw Failure(ErrorKind::TypeMismatch);
    const int day = datePart(midView(t, 0, 2));
    const int month = datePart(midView(t, 3, 2));
    const int year = datePart(midView(t, 6, 4));
    const QDate date(year, month, day);
    if (!date.isValid())
        throw Failure(ErrorKind::InvalidCall);
    return date;
}

// Blanks (code 32 only) off both ends.
QByteArrayView trimView(QByteArrayView v)
{
    while (!v.isEmpty() && v.front() == ' ')
        v = v.sliced(1);
    while (!v.isEmpty() && v.back() == ' ')
        v.chop(1);
    return v;
}

// Texts copied into one allocation, each followed by a NUL (so each reads as a complete
// byte array), and handed out in order as byte arrays that share it. A text changed
// later detaches as any shared byte array does; the block goes when its last text does.
class TextBlock
{
public:
    explicit TextBlock(std::initializer_list<QByteArrayView> texts) : m_texts(texts)
    {
        // m_texts keeps the views: the list's own array ends with the constructor's call.
        qsizetype total = 0;
        for (const QByteArrayView t : texts)
            total += t.size() + 1;
        m_block = QByteArray(total, '\0');
        char *out = m_block.data();
        for (const QByteArrayView t : texts) {
            if (!t.isEmpty())
                std::memcpy(out, t.data(), size_t(t.size()));
            out += t.size() + 1;
        }
    }

    QByteArray next()
    {
        const QByteArrayView t = m_texts.at(m_index++);
        const qsizetype at = m_at;
        m_at += t.size() + 1;
        if (t.isEmpty())
            return QByteArray();
        QByteArray::DataPointer shared = m_block.data_ptr(); // one more reference
        shared.ptr += at;
        shared.size = t.size();
        return QByteArray(std::move(shared));
    }

private:
    std::vector<QByteArrayView> m_texts;
    QByteArray m_block;
    size_t m_index = 0;
    qsizetype m_at = 0;
};

} // namespace

QByteArray wireDate(const QDate &date)
{
    // An unset date is the classic date zero.
    const QDate d = date.isValid() ? date : QDate(1899, 12, 30);
    const int year = d.year() < 1000 ? d.year() + 2000 : d.year();
    return zeroPadded(d.day(), 2) + '/' + zeroPadded(d.month(), 2) + '/' + QByteArray::number(year);
}

QByteArray EventToString(const EventRec &r)
{
    QByteArray h(EventHeaderLength, '0');
    // Blanks made of CR or LF are trimmed too: a key led by one would shift the header.
    put(h, 1, trimBlanks(field(r.EventKey)).left(32));
    put(h, 33, Pad3Byte(r.HeadEnd));
    put(h, 36, Pad3Byte(r.Level));
    put(h, 39, Pad4Int(r.SrcInput));
    put(h, 43, Pad4Int(r.DestOutput));
    put(h, 47, Pad4Int(r.SrcCh));
    put(h, 51, Pad4Int(r.DestCh));
    put(h, 55, Pad4Int(r.DestDefSrc));
    put(h, 59, Pad4Int(r.DestBackupSrc));
    put(h, 63, flag(r.BackupSrc));
    put(h, 64, Pad3Byte(r.Status));
    put(h, 67, Pad3Byte(r.SpareCode));
    put(h, 70, Pad3Byte(r.Automation));
    put(h, 73, Pad3Byte(r.GroupNo));
    put(h, 76, Pad3Byte(r.Interrupted));
    put(h, 79, Pad3Byte(r.AddedBy));
    put(h, 82, Pad3Byte(r.ExtraCode1));
    put(h, 85, Pad3Byte(r.ExtraCode2));
    put(h, 88, flag(r.SubNow));
    put(h, 89, flag(r.DefNow));
    put(h, 90, flag(r.MonitorBeg));
    put(h, 91, flag(r.MonitorEnd));
    put(h, 92, Pad3Byte(r.TimeZone));

    const QByteArray fields[EventTextFields] = {
        r.HEText,
        r.GroupText,
        wireDate(r.EventDate),
        r.StartTime,
        r.EndTime,
        r.SrcText,
        r.DestText,
        r.Description,
        r.StatusDetail,
        r.Duration,
        r.SpareText1,
        r.SpareText2,
        trimBlanks(r.OpComment),
        r.ActualStart + ' ',
        r.ActualEnd + ' ',
        r.ActualDur,
        QByteArray::number(r.StartKey),
        QByteArray::number(r.EndKey),
        trimBlanks(r.Comments),
        trimBlanks(r.MediaPointID),
    };
    QByteArray out = h;
    out.reserve(EventHeaderLength + 256);
    out += '\t';
    for (const QByteArray &f : fields) {
        out += field(f);
        out += '\t';
    }
    return out;
}

EventRec ParseEvent(const QByteArray &text)
{
    // Fields 0..20 as views of the text: no list of copies.
    std::array<QByteArrayView, EventTextFields + 1> f;
    qsizetype from = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        if (from > text.size())
            throw Failure(ErrorKind::SubscriptOutOfRange);
        qsizetype tab = text.indexOf('\t', from);
        if (tab < 0)
            tab = text.size();
        f[i] = QByteArrayView(text.constData() + from, tab - from);
        from = tab + 1;
    }
    const QByteArray h = trimBlanks(f[0].toByteArray());

    EventRec r;
    r.HeadEnd = byteAt(h, 33);
    r.Level = byteAt(h, 36);
    r.SrcInput = intAt(h, 39);
    r.DestOutput = intAt(h, 43);
    r.SrcCh = intAt(h, 47);
    r.DestCh = intAt(h, 51);
    r.DestDefSrc = intAt(h, 55);
    r.DestBackupSrc = intAt(h, 59);
    r.BackupSrc = leadingValue(slice(h, 63, 1)) > 0;
    r.Status = byteAt(h, 64);
    r.SpareCode = byteAt(h, 67);
    r.Automation = byteAt(h, 70);
    r.GroupNo = byteAt(h, 73);
    r.Interrupted = byteAt(h, 76);
    r.AddedBy = byteAt(h, 79);
    r.ExtraCode1 = byteAt(h, 82);
    r.ExtraCode2 = byteAt(h, 85);
    r.SubNow = leadingValue(slice(h, 88, 1)) == 1;
    r.DefNow = leadingValue(slice(h, 89, 1)) == 1;
    r.MonitorBeg = leadingValue(slice(h, 90, 1)) == 1;
    r.MonitorEnd = leadingValue(slice(h, 91, 1)) == 1;
    r.TimeZone = byteAt(h, 92);
    r.EventDate = parseWireDate(f[3].toByteArray());
    r.StartKey = keyValue(f[17]);
    r.EndKey = keyValue(f[18]);

    // The key and the texts share one block of memory instead of one each.
    TextBlock texts({slice(h, 1, 32), trimView(f[1]), trimView(f[2]), trimView(f[4]),
                     trimView(f[5]), trimView(f[6]), trimView(f[7]), trimView(f[8]), trimView(f[9]),
                     trimView(f[10]), trimView(f[11]), trimView(f[12]), trimView(f[13]),
                     trimView(f[14]), trimView(f[15]), trimView(f[16]), trimView(f[19]),
                     trimView(f[20])});
    r.EventKey = texts.next();
    r.HEText = texts.next();
    r.GroupText = texts.next();
    r.StartTime = texts.next();
    r.EndTime = texts.next();
    r.SrcText = texts.next();
    r.DestText = texts.next();
    r.Description = texts.next();
    r.StatusDetail = texts.next();
    r.Duration = texts.next();
    r.SpareText1 = texts.next();
    r.SpareText2 = texts.next();
    r.OpComment = texts.next();
    r.ActualStart = texts.next();
    r.ActualEnd = texts.next();
    r.ActualDur = texts.next();
    r.Comments = texts.next();
    r.MediaPointID = texts.next();
    r.InUse = true;
    return r;
}

QByteArray EventDetails(const EventRec &r)
{
    return "Channels: " + r.DestText + " over " + r.SrcText + "\r\n" +
           "Description: " + r.Description + "\r\n" + "Start Time: " + shortDate(r.EventDate) +
           " / " + r.StartTime + "\r\n" + "Duration: " + r.Duration;
}

QByteArray CheckConflict(const EventRec &rec)
{
    const EventTable &table = Events();
    if (!EventTable::validIndex(rec.HeadEnd, 0))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &e = table.at(rec.HeadEnd, slot);
        if (!e.InUse || e.Status > StatusLessThan || e.EventKey == rec.EventKey ||
            e.DestOutput != rec.DestOutput || e.DestCh != rec.DestCh)
            continue;
        const bool overlap = (rec.StartKey >= e.StartKey && rec.StartKey < e.EndKey) ||
                             (rec.StartKey < e.StartKey && rec.EndKey > e.StartKey);
        if (overlap)
            return "Conflict with an existing event.  Event details:\r\n" + EventDetails(e);
    }
    return "";
}

QByteArray StatusText(quint8 status, const QByteArray &detail)
{
    switch (status) {
    case StatusProblem:
        return trimBlanks(detail).isEmpty() ? QByteArray("Prob.") : detail;
    case StatusActive:
        return "Active";
    case StatusOnAir:
        return "On-Air";
    case StatusOnHold:
    case StatusOnHoldOnAir:
        return "On Hold";
    case StatusLessThan:
        return "< " + QByteArray::number(LessThanMinutes()) + " Min.";
    case StatusFailed:
        return "Failed";
    case StatusAbort:
        return "Abort";
    case StatusDone:
        return "Done";
    default:
        return "";
    }
}

QByteArray GroupText(quint8 group)
{
    return group == 0 ? QByteArray("N/A") : "Group " + QByteArray::number(group);
}

} // namespace vek
