#include "eventtext.h"

#include <algorithm>
#include <array>
#include <charconv>
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

QByteArrayView slice(QByteArrayView header, int position, int width)
{
    return midView(header, position - 1, width);
}

quint8 byteAt(QByteArrayView header, int position)
{
    return toByte(leadingValue(slice(header, position, 3)));
}

qint16 intAt(QByteArrayView header, int position)
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

QDate parseWireDate(QByteArrayView text)
{
    const QByteArrayView t = blanksTrimmed(text);
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

namespace {
// The writers below fill one buffer: an event text is made for every "Q" message and
// for every event the simulated server hands out, so it avoids a text per field.

bool isLineBreakOrTab(char c)
{
    return c == '\t' || c == '\r' || c == '\n';
}

// Appends a field's text with TAB, CR and LF as blanks.
char *appendMapped(char *out, QByteArrayView text)
{
    for (const char c : text)
        *out++ = isLineBreakOrTab(c) ? ' ' : c;
    return out;
}

char *appendNumber(char *out, qint64 value)
{
    return std::to_chars(out, out + 24, value).ptr;
}
} // namespace

QByteArray EventToString(const EventRec &r)
{
    // The key with TAB, CR and LF as blanks, then blanks off both ends: a key led by a
    // CR or LF would shift the header.
    QByteArrayView key = r.EventKey;
    while (!key.isEmpty() && (key.front() == ' ' || isLineBreakOrTab(key.front())))
        key = key.sliced(1);
    while (!key.isEmpty() && (key.back() == ' ' || isLineBreakOrTab(key.back())))
        key.chop(1);
    key = key.first(qMin<qsizetype>(key.size(), 32));

    const QDate date = r.EventDate.isValid() ? r.EventDate : QDate(1899, 12, 30);
    const int year = date.year() < 1000 ? date.year() + 2000 : date.year();
    const QByteArrayView opComment = blanksTrimmed(r.OpComment);
    const QByteArrayView comments = blanksTrimmed(r.Comments);
    const QByteArrayView mediaPoint = blanksTrimmed(r.MediaPointID);
    const QByteArrayView texts[] = {
        r.HEText,      r.GroupText,    r.StartTime, r.EndTime,    r.SrcText,    r.DestText,
        r.Description, r.StatusDetail, r.Duration,  r.SpareText1, r.SpareText2, opComment,
        r.ActualStart, r.ActualEnd,    r.ActualDur, comments,     mediaPoint};
    qsizetype textBytes = 0;
    for (const QByteArrayView t : texts)
        textBytes += t.size();
    // Header, its TAB, the texts, two blanks, a date and two keys of at most 24
    // characters each, and a TAB after every field.
    QByteArray out(EventHeaderLength + 1 + textBytes + 2 + 24 * 3 + EventTextFields, '0');
    char *h = out.data();
    if (!key.isEmpty())
        appendMapped(h, key);
    Pad3Byte(h, 33, r.HeadEnd);
    Pad3Byte(h, 36, r.Level);
    Pad4Int(h, 39, r.SrcInput);
    Pad4Int(h, 43, r.DestOutput);
    Pad4Int(h, 47, r.SrcCh);
    Pad4Int(h, 51, r.DestCh);
    Pad4Int(h, 55, r.DestDefSrc);
    Pad4Int(h, 59, r.DestBackupSrc);
    h[62] = r.BackupSrc ? '1' : '0';
    Pad3Byte(h, 64, r.Status);
    Pad3Byte(h, 67, r.SpareCode);
    Pad3Byte(h, 70, r.Automation);
    Pad3Byte(h, 73, r.GroupNo);
    Pad3Byte(h, 76, r.Interrupted);
    Pad3Byte(h, 79, r.AddedBy);
    Pad3Byte(h, 82, r.ExtraCode1);
    Pad3Byte(h, 85, r.ExtraCode2);
    h[87] = r.SubNow ? '1' : '0';
    h[88] = r.DefNow ? '1' : '0';
    h[89] = r.MonitorBeg ? '1' : '0';
    h[90] = r.MonitorEnd ? '1' : '0';
    Pad3Byte(h, 92, r.TimeZone);

    char *o = h + EventHeaderLength;
    *o++ = '\t';
    auto text = [&o](QByteArrayView t) {
        o = appendMapped(o, t);
        *o++ = '\t';
    };
    text(r.HEText);
    text(r.GroupText);
    *o++ = char('0' + date.day() / 10);
    *o++ = char('0' + date.day() % 10);
    *o++ = '/';
    *o++ = char('0' + date.month() / 10);
    *o++ = char('0' + date.month() % 10);
    *o++ = '/';
    o = appendNumber(o, year);
    *o++ = '\t';
    for (const QByteArray *f : {&r.StartTime, &r.EndTime, &r.SrcText, &r.DestText, &r.Description,
                                &r.StatusDetail, &r.Duration, &r.SpareText1, &r.SpareText2})
        text(*f);
    text(opComment);
    o = appendMapped(o, r.ActualStart);
    *o++ = ' ';
    *o++ = '\t';
    o = appendMapped(o, r.ActualEnd);
    *o++ = ' ';
    *o++ = '\t';
    text(r.ActualDur);
    o = appendNumber(o, r.StartKey);
    *o++ = '\t';
    o = appendNumber(o, r.EndKey);
    *o++ = '\t';
    text(comments);
    text(mediaPoint);
    out.truncate(o - h);
    return out;
}

QByteArray eventMessage(const EventRec &rec)
{
    const QByteArray text = EventToString(rec);
    QByteArray msg(text.size() + 1, Qt::Uninitialized);
    msg[0] = 'Q';
    std::copy(text.begin(), text.end(), msg.begin() + 1);
    return msg;
}

EventRec ParseEvent(QByteArrayView text)
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
    const QByteArrayView h = blanksTrimmed(f[0]);

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
    r.EventDate = parseWireDate(f[3]);
    r.StartKey = keyValue(f[17]);
    r.EndKey = keyValue(f[18]);

    // The key and the texts share one block of memory instead of one each.
    TextBlock texts({slice(h, 1, 32), blanksTrimmed(f[1]), blanksTrimmed(f[2]), blanksTrimmed(f[4]),
                     blanksTrimmed(f[5]), blanksTrimmed(f[6]), blanksTrimmed(f[7]),
                     blanksTrimmed(f[8]), blanksTrimmed(f[9]), blanksTrimmed(f[10]),
                     blanksTrimmed(f[11]), blanksTrimmed(f[12]), blanksTrimmed(f[13]),
                     blanksTrimmed(f[14]), blanksTrimmed(f[15]), blanksTrimmed(f[16]),
                     blanksTrimmed(f[19]), blanksTrimmed(f[20])});
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

QByteArrayView automationText(quint8 automation)
{
    switch (automation) {
    case 0:
        return "Off";
    case 1:
        return "Notify";
    case 2:
        return "Auto";
    default:
        return {};
    }
}

} // namespace vek
