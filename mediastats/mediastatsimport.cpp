#include "mediastatsimport.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <charconv>

#include "core/channeltable.h"
#include "core/convert.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/log.h"
#include "core/receivestate.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "mediastatsfile.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {

// Upper case of a single-byte character as the operator PCs' code page has it.
char upperCase(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 0x20);
    if (u == 0x9A || u == 0x9C || u == 0x9E)
        return static_cast<char>(u - 0x10);
    if (u == 0xFF)
        return static_cast<char>(0x9F);
    return c;
}

// Text already in upper case (names mostly are) is shared, not copied.
QByteArray upperCase(const QByteArray &text)
{
    const auto lower =
        std::find_if(text.begin(), text.end(), [](char c) { return upperCase(c) != c; });
    if (lower == text.end())
        return text;
    QByteArray out = text;
    for (char &c : out)
        c = upperCase(c);
    return out;
}

QByteArray nameKey(const QByteArray &name)
{
    return upperCase(trimBlanks(name));
}

bool equalsUpperCase(QByteArrayView text, QByteArrayView upper)
{
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(),
                      [](char a, char b) { return upperCase(a) == b; });
}

bool digitsOnly(QByteArrayView text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.isEmpty();
}

struct Hms
{
    int h = 0;
    int m = 0;
    int s = 0;
    auto operator<=>(const Hms &) const = default;
};

// Hours, minutes and seconds of an "hh:mm:ss" time; any other shape is a type mismatch
// for the row (the readers made every time they could read into that shape), and any
// part out of range is an error too, so no time ever spills into the date digits of a
// key. 24:00:00 is the end of the day and allowed as an end time.
Hms checkedTime(const QByteArray &time, bool endTime)
{
    const QByteArrayView v(time);
    const bool shaped = v.size() == 8 && v[2] == ':' && v[5] == ':' && digitsOnly(v.first(2)) &&
                        digitsOnly(v.sliced(3, 2)) && digitsOnly(v.sliced(6, 2));
    if (!shaped)
        throw Failure(ErrorKind::TypeMismatch);
    const TimeParts p = timeParts(time);
    const Hms t{toInt16(p.hours), toInt16(p.minutes), toInt16(p.seconds)};
    if (endTime && t == Hms{24, 0, 0})
        return t;
    if (t.h < 0 || t.h > 23 || t.m < 0 || t.m > 59 || t.s < 0 || t.s > 59)
        throw Failure(ErrorKind::InvalidCall);
    return t;
}

// The length of a checked span, "hh:mm:ss": an end before the start is on the next
// day, and a span of a whole day is "00:00:00".
QByteArray duration(const Hms &start, const Hms &end)
{
    const auto seconds = [](const Hms &t) { return t.h * 3600 + t.m * 60 + t.s; };
    int span = seconds(end) - seconds(start);
    if (span < 0)
        span += 86400;
    if (span >= 86400)
        span -= 86400;
    const int h = span / 3600;
    const int m = span / 60 % 60;
    const int s = span % 60;
    const char text[8] = {char('0' + h / 10), char('0' + h % 10), ':',
                          char('0' + m / 10), char('0' + m % 10), ':',
                          char('0' + s / 10), char('0' + s % 10)};
    return QByteArray(text, sizeof text);
}

// A key of a stamp and a number, made in one piece.
QByteArray keyText(const QByteArray &stamp, int number)
{
    char digits[12];
    const auto n = std::to_chars(digits, digits + sizeof digits, number).ptr - digits;
    QByteArray key;
    key.reserve(stamp.size() + n);
    key += stamp;
    key.append(digits, n);
    return key;
}

// The key of a time; the end of the day keeps the date digits and counts 86400 seconds.
qint64 timeKey(const QDate &date, const QByteArray &time, const Hms &t)
{
    if (t.h == 24)
        return DateTimeKey(date, "00:00:00") + 86400;
    return DateTimeKey(date, time);
}

// The value of a text of digits only.
int digitsValue(QByteArrayView digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// The air date, day first: D/M/Y with one- or two-digit day and month and a four-digit
// year (two digits count from 2000). Anything else is a type mismatch.
QDate airDate(const QByteArray &text)
{
    const QByteArrayView t = blanksTrimmed(text);
    const qsizetype first = t.indexOf('/');
    const qsizetype second = first < 0 ? -1 : t.indexOf('/', first + 1);
    if (second < 0 || t.indexOf('/', second + 1) >= 0)
        throw Failure(ErrorKind::TypeMismatch);
    const QByteArrayView d = t.first(first);
    const QByteArrayView m = t.sliced(first + 1, second - first - 1);
    const QByteArrayView y = t.sliced(second + 1);
    if (!digitsOnly(d) || !digitsOnly(m) || !digitsOnly(y))
        throw Failure(ErrorKind::TypeMismatch);
    if (d.size() > 2 || m.size() > 2 || (y.size() != 4 && y.size() > 2))
        throw Failure(ErrorKind::TypeMismatch);
    const int year = y.size() <= 2 ? 2000 + digitsValue(y) : digitsValue(y);
    // The wire text would read "0024" as 2024 while the keys kept year 24.
    if (year < 1000)
        throw Failure(ErrorKind::TypeMismatch);
    const QDate date(year, digitsValue(m), digitsValue(d));
    if (!date.isValid())
        throw Failure(ErrorKind::TypeMismatch);
    return date;
}

QDateTime zoneNow(int headEnd)
{
    const int zone = HETimeZone(headEnd);
    if (zone < 0 || zone >= ZoneCount)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    const QDateTime now = ZoneTimes()[size_t(zone)];
    if (!now.isValid())
        throw Failure(ErrorKind::InvalidCall);
    return now;
}

// The digit of an imported key's suffix that tells the head end.
int keyDigit(int headEnd)
{
    return headEnd <= 9 ? headEnd : headEnd - 9;
}

// The largest suffix that keeps a key's four digits.
constexpr int LastSuffix = 9999;

QByteArray label(const QByteArray &name, qint16 number)
{
    char digits[8];
    const auto n = std::to_chars(digits, digits + sizeof digits, int(number)).ptr - digits;
    QByteArray out;
    out.reserve(name.size() + n + 3);
    out += name;
    out += " (";
    out.append(digits, n);
    out += ')';
    return out;
}

} // namespace

HeadEndSet allHeadEnds()
{
    HeadEndSet all{};
    all.fill(true);
    all[0] = false;
    return all;
}

void MediaStatsImport::readFile(const QString &path)
{
    readFileAt(QFile::encodeName(path));
}

void MediaStatsImport::readFileAt(const QByteArray &path)
{
    m_fileName = readableFileName(path.mid(path.lastIndexOf('/') + 1));
    readMediaStatsFileAt(path, MSRows);
}

void MediaStatsImport::convertRows(const HeadEndSet &headEnds)
{
    m_channelNames = {};
    m_labels = {};
    m_keysById = {};
    m_stamp.clear();
    m_extraStamps.clear();
    m_overflowRows = {};
    m_failedRows = {};
    m_firstFailedRow = 0;
    std::array<QByteArray, MaxHeadEnds + 1> co;
    for (int he = 1; he <= MaxHeadEnds; ++he)
        co[size_t(he)] = trimBlanks(settings().HEMediaStatsCO[size_t(he)]);
    for (int r = 1; r <= MSRows.count(); ++r) {
        const QByteArray rowCo = trimBlanks(MSRows.row(r).CONumber);
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            if (!headEnds[size_t(he)] || rowCo != co[size_t(he)])
                continue;
            MSRowIndex = r;
            MSHeadEnd = he;
            MSCONVERT();
        }
    }
    logFailedRows();
}

void MediaStatsImport::logFailedRows() const
{
    QByteArray counts;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (m_failedRows[size_t(he)] == 0)
            continue;
        counts += QByteArray(counts.isEmpty() ? "" : ",") + Str(qint64(m_failedRows[size_t(he)])) +
                  " for head end" + Str(qint64(he)) + " (" + settings().HEName[size_t(he)] + ")";
    }
    if (!counts.isEmpty())
        WriteLog("MediaStats " + m_fileName + ": rows not converted:" + counts +
                 "; the first is row" + Str(qint64(m_firstFailedRow)));
}

HeadEndSet MediaStatsImport::headEndsWithRows() const
{
    QSet<QByteArray> rowCos;
    for (int r = 1; r <= MSRows.count(); ++r)
        rowCos.insert(trimBlanks(MSRows.row(r).CONumber));
    HeadEndSet with{};
    for (int he = 1; he <= MaxHeadEnds; ++he)
        with[size_t(he)] = rowCos.contains(trimBlanks(settings().HEMediaStatsCO[size_t(he)]));
    return with;
}

void MediaStatsImport::MSCONVERT()
{
    try {
        convertRow();
    } catch (const Failure &f) {
        logError("Error MSCONVERT)", f);
        if (validHeadEnd(MSHeadEnd))
            ++m_failedRows[size_t(MSHeadEnd)];
        if (m_firstFailedRow == 0 || MSRowIndex < m_firstFailedRow)
            m_firstFailedRow = MSRowIndex;
    }
}

const MediaStatsImport::ChannelNames &MediaStatsImport::channelNames(int headEnd)
{
    std::optional<ChannelNames> &names = m_channelNames[size_t(headEnd)];
    if (!names) {
        names.emplace();
        for (int ch = 1; ch <= MaxChannel; ++ch)
            (*names)[nameKey(Channel(headEnd, ch).ChanName)].push_back(ch);
    }
    return *names;
}

const QByteArray &MediaStatsImport::channelLabel(int headEnd, int channel, bool source)
{
    const ChannelEntry &c = Channel(headEnd, channel);
    std::vector<QByteArray> &labels = m_labels[size_t(headEnd)][source ? 0 : 1];
    if (labels.empty())
        labels.resize(MaxChannel + 1);
    QByteArray &text = labels.at(size_t(channel));
    if (text.isEmpty())
        text = label(source ? c.SrcName : c.ChanDesc, c.ChanNum);
    return text;
}

QByteArray MediaStatsImport::existingKey(int headEnd, const QByteArray &mediaPointId)
{
    std::optional<QHash<QByteArray, QByteArray>> &keys = m_keysById[size_t(headEnd)];
    if (!keys) {
        // The first event (lowest slot) of each MediaPoint ID, blanks around it ignored.
        keys.emplace();
        for (int slot = 0; slot < EventTable::Slots; ++slot) {
            const EventRec &e = Events().at(headEnd, slot);
            const QByteArray id = trimBlanks(e.MediaPointID);
            if (e.InUse && !id.isEmpty() && !keys->contains(id))
                keys->insert(id, e.EventKey);
        }
    }
    return keys->value(trimBlanks(mediaPointId));
}

QByteArray MediaStatsImport::newKey(int headEnd)
{
    if (m_stamp.isEmpty())
        m_stamp = NewImportStamp();
    const int h = keyDigit(headEnd);
    if (h * 1000 + MSRowIndex <= LastSuffix)
        return keyText(m_stamp, h * 1000 + MSRowIndex);
    // A fifth digit would make the key read back like a shorter one padded with "0".
    // Further rows take further seconds of their own, each for as many rows as four
    // digits after the head end's digit hold.
    const int perSecond = LastSuffix - h * 1000;
    const int n = m_overflowRows[size_t(headEnd)]++;
    const auto block = static_cast<size_t>(n / perSecond);
    while (m_extraStamps.size() <= block)
        m_extraStamps.push_back(NewImportStamp());
    return keyText(m_extraStamps[block], h * 1000 + n % perSecond + 1);
}

void MediaStatsImport::convertRow()
{
    const int he = MSHeadEnd;
    if (!validHeadEnd(he))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    MediaStatsRec &row = MSRows.row(MSRowIndex);

    const QByteArrayView action = blanksTrimmed(row.Action);
    if (action == "REMV") {
        WINREMOVE(he, row.MediaPointID);
        return;
    }

    const Hms start = checkedTime(row.StartTime, false);
    const Hms end = checkedTime(row.EndTime, true);

    // Destination and source: the last entry of the name wins.
    row.SrcNo = 0;
    row.DestNo = 0;
    const ChannelNames &names = channelNames(he);
    const std::vector<int> none;
    const auto candidates = [&](const QByteArray &name) -> const std::vector<int> & {
        const auto it = names.constFind(nameKey(name));
        return it == names.constEnd() ? none : *it;
    };
    const std::vector<int> &dests = candidates(row.DestName);
    for (auto it = dests.rbegin(); it != dests.rend(); ++it) {
        const ChannelEntry &c = Channel(he, *it);
        if (c.ChanNum > 0 && !c.ChanHidden) {
            row.DestNo = static_cast<qint16>(*it);
            break;
        }
    }
    const bool typeCheck = settings().SignalTypeCheck;
    const ChannelEntry &dest = Channel(he, row.DestNo);
    const std::vector<int> &srcs = candidates(row.SrcName);
    for (auto it = srcs.rbegin(); it != srcs.rend(); ++it) {
        const ChannelEntry &c = Channel(he, *it);
        if (c.ChanNum > 0 && c.ChanLevel == dest.ChanLevel &&
            (!typeCheck || c.SrcSigType == dest.DestSigType)) {
            row.SrcNo = static_cast<qint16>(*it);
            break;
        }
    }

    const QByteArray srcLabel = row.SrcNo == 0 ? row.SrcName : channelLabel(he, row.SrcNo, true);
    const QByteArray destLabel =
        row.DestNo == 0 ? row.DestName : channelLabel(he, row.DestNo, false);

    quint8 status = StatusActive;
    QByteArray detail = "Active";

    const QDate startDate = airDate(row.AirDate);
    const QDate endDate = start > end ? startDate.addDays(1) : startDate;
    const QDateTime startAt(startDate, QTime(start.h, start.m, start.s), Qt::UTC);
    const QDateTime now = zoneNow(he);
    if (startAt < now) {
        status = StatusProblem;
        if (startAt.date() == now.date()) {
            detail = "Time Prob.";
        } else {
            detail = "Date Prob.";
            if (!LoadOldEvents)
                return;
        }
    }

    if (settings().AutoVerify && !blanksTrimmed(row.MonBegMark).isEmpty()) {
        status = StatusOnHold;
        detail = "On Hold";
    }
    if (equalsUpperCase(action, "HOLD")) {
        status = StatusOnHold;
        detail = "On Hold";
    }

    const auto channelProblem = [&] {
        status = StatusProblem;
        detail = "CH Prob.";
    };
    if (row.SrcNo < 1) {
        row.SrcNo = 1;
        channelProblem();
    }
    if (row.DestNo < 1) {
        row.DestNo = 1;
        channelProblem();
    }
    const ChannelEntry &src = Channel(he, row.SrcNo);
    const ChannelEntry &dst = Channel(he, row.DestNo);
    if (dst.ChanLevel != src.ChanLevel)
        channelProblem();
    else if (typeCheck && dst.DestSigType != src.SrcSigType)
        channelProblem();
    if (dst.ChanLevel < 1)
        channelProblem();

    QByteArray key;
    if (!blanksTrimmed(row.MediaPointID).isEmpty())
        key = existingKey(he, row.MediaPointID);
    if (key.isEmpty())
        key = newKey(he);

    EventRec rec;
    rec.InUse = true;
    rec.EventKey = key;
    rec.HeadEnd = static_cast<quint8>(he);
    rec.Level = dst.ChanLevel;
    rec.SrcInput = src.ChanDefSrc;
    rec.DestOutput = dst.ChanCol;
    rec.SrcCh = row.SrcNo;
    rec.DestCh = row.DestNo;
    rec.DestDefSrc = dst.ChanDefSrc;
    rec.DestBackupSrc = dst.ChanBackupSrc;
    rec.BackupSrc = dst.OnBackup;
    rec.Status = status;
    rec.TimeZone = toByte(HETimeZone(he));
    rec.MonitorBeg = !blanksTrimmed(row.MonBegMark).isEmpty();
    rec.MonitorEnd = !blanksTrimmed(row.MonEndMark).isEmpty();
    rec.HEText = settings().HEName[size_t(he)];
    rec.GroupText = GroupText(0);
    rec.EventDate = startDate;
    rec.StartTime = row.StartTime;
    rec.EndTime = row.EndTime;
    rec.SrcText = srcLabel;
    rec.DestText = destLabel;
    rec.Description = row.Description;
    rec.StatusDetail = detail;
    rec.Duration = duration(start, end);
    rec.StartKey = timeKey(startDate, row.StartTime, start);
    rec.EndKey = timeKey(endDate, row.EndTime, end);
    rec.Comments = row.Comments;
    rec.MediaPointID = row.MediaPointID;
    WINADD(eventMessage(rec), he);
}

} // namespace vek
