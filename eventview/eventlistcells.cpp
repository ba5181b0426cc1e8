#include <charconv>
#include <string>

#include "core/eventtext.h"
#include "eventlistengine.h"

// The cells of a list row, made from the event the row shows.

namespace vek {

namespace {
// Appends decimal digits (no blank) of a number.
void appendNumber(std::string &out, qint64 n)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, size_t(r.ptr - buf));
}

void appendText(std::string &out, const QByteArray &text)
{
    out.append(text.constData(), size_t(text.size()));
}

QByteArrayView viewOf(const std::string &s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

} // namespace

const QByteArray *fieldOf(const EventRec &e, int list, int col)
{
    switch (col) {
    case 1:
        return list == ListUpcoming ? nullptr : &e.HEText;
    case GroupColumn:
        return &e.GroupText;
    case 4:
        return &e.StartTime;
    case 5:
        return &e.EndTime;
    case 6:
        return &e.SrcText;
    case 7:
        return &e.DestText;
    case DescriptionColumn:
        return &e.Description;
    case 10:
        return &e.Duration;
    case 16:
        return &e.Comments;
    case FullKeyCell:
        return &e.EventKey;
    default:
        return nullptr;
    }
}

// Cell `col` of the row of event e (slot `slot` of head end `he`) in list `list`. A
// computed cell lives in the scratch until its next use.
QByteArrayView cellOf(const EventRec &e, int he, int slot, int list, int col, const RowFormat &f,
                      CellScratch &s)
{
    if (const QByteArray *field = fieldOf(e, list, col))
        return *field;
    switch (col) {
    case 0:
        s.rowKey.clear();
        appendNumber(s.rowKey, he);
        s.rowKey += '-';
        appendNumber(s.rowKey, slot);
        return viewOf(s.rowKey);
    case 1:
        // Upcoming shows the current name of the record's head end (none for a head end
        // beyond the table); the others the name stored in the record (above).
        return e.HeadEnd <= MaxHeadEnds ? QByteArrayView(f.heName[e.HeadEnd]) : QByteArrayView();
    case 3: {
        const qint64 day = e.EventDate.isValid() ? e.EventDate.toJulianDay() : 0;
        auto date = f.dateTexts->constFind(day);
        if (date == f.dateTexts->constEnd())
            date = f.dateTexts->insert(day, shortDate(e.EventDate));
        return *date;
    }
    case 9:
        if (e.Status == StatusProblem) {
            s.problem = StatusText(e.Status, e.StatusDetail);
            return s.problem;
        }
        return e.Status < f.statusTexts.size() ? QByteArrayView(f.statusTexts[e.Status])
                                               : QByteArrayView();
    case 11:
        return e.MonitorBeg ? QByteArrayView("YES") : QByteArrayView();
    case 12:
        return e.MonitorEnd ? QByteArrayView("YES") : QByteArrayView();
    case 13:
        s.hidden2.clear();
        appendNumber(s.hidden2, e.AddedBy);
        appendNumber(s.hidden2, e.ExtraCode1);
        appendNumber(s.hidden2, e.ExtraCode2);
        appendText(s.hidden2, e.OpComment);
        return viewOf(s.hidden2);
    case 14:
        s.hidden3.clear();
        appendText(s.hidden3, e.ActualStart);
        s.hidden3 += ' ';
        appendText(s.hidden3, e.ActualEnd);
        s.hidden3 += ' ';
        appendText(s.hidden3, e.ActualDur);
        return viewOf(s.hidden3);
    case MediaPointColumn:
        return QByteArrayView(e.EventKey).first(qMin<qsizetype>(16, e.EventKey.size()));
    case 17:
        s.startKey.clear();
        appendNumber(s.startKey, e.StartKey);
        appendText(s.startKey, e.DestText);
        return viewOf(s.startKey);
    case 18:
        s.endKey.clear();
        appendNumber(s.endKey, e.EndKey);
        appendText(s.endKey, e.DestText);
        return viewOf(s.endKey);
    case 19:
        return automationText(e.Automation);
    case 20:
        return list == ListAsRun ? QByteArrayView(e.ActualStart) : QByteArrayView();
    case 21:
        return list == ListAsRun ? QByteArrayView(e.ActualEnd) : QByteArrayView();
    case 22:
        return list == ListAsRun ? QByteArrayView(e.ActualDur) : QByteArrayView();
    case 23:
        return list == ListAsRun ? QByteArrayView(e.OpComment) : QByteArrayView();
    default:
        return {};
    }
}

} // namespace vek
