#include "eventlists.h"

#include <array>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "platform/clock.h"
#include "platform/text.h"

// The rules of the lists apart from the engine that builds them: which list an event
// belongs to, its colour, the sort and count texts and the options.

namespace vek {

int listOfEvent(quint8 status, quint8 groupNo, const QDate &eventDate, int filter,
                const QDate &pickerDate)
{
    int list = 0;
    bool byStatus = false;
    switch (status) {
    case StatusProblem:
        list = ListUpcoming;
        byStatus = filter == FilterProblem;
        break;
    case StatusActive:
        list = ListUpcoming;
        byStatus = filter == FilterActive;
        break;
    case StatusOnAir:
        list = ListOnAir;
        byStatus = filter == FilterActive;
        break;
    case StatusOnHold:
        list = ListUpcoming;
        byStatus = filter == FilterOnHold || filter == FilterLessThan;
        break;
    case StatusOnHoldOnAir:
        list = ListOnAir;
        byStatus = filter == FilterOnHold;
        break;
    case StatusLessThan:
        list = ListUpcoming;
        byStatus = filter == FilterActive || filter == FilterLessThan;
        break;
    default:
        // Finished events are always logged, whatever the filter.
        return ListAsRun;
    }
    const bool shown = filter == FilterAll || byStatus ||
                       (filter == FilterDate && eventDate == pickerDate) ||
                       (filter >= FilterGroup1 && filter <= FilterGroup8 &&
                        int(groupNo) == filter - (FilterGroup1 - 1));
    return shown ? list : 0;
}

ColourRule colourRule(int list, const EventRec &e, const QDate &today)
{
    switch (list) {
    case ListUpcoming:
        // A date of nothing counts as long past, as the empty record's date does.
        if (!e.EventDate.isValid() || e.EventDate < today)
            return ColourRule::BeforeToday;
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusProblem)
            return ColourRule::Problem;
        if (e.Status == StatusOnHold)
            return ColourRule::OnHold;
        if (e.Status == StatusLessThan)
            return ColourRule::LessThan;
        return ColourRule::None;
    case ListOnAir:
        if (e.Interrupted == 1)
            return ColourRule::Interrupted;
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusOnAir)
            return ColourRule::OnAir;
        if (e.Status == StatusOnHoldOnAir)
            return ColourRule::OnHold;
        return ColourRule::None;
    case ListAsRun:
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusFailed)
            return ColourRule::Failed;
        if (e.Status == StatusAbort)
            return ColourRule::Aborted;
        if (e.Status == StatusDone)
            return ColourRule::Done;
        return ColourRule::None;
    default:
        return ColourRule::None;
    }
}

int colourIndex(ColourRule rule)
{
    switch (rule) {
    case ColourRule::OnAir:
        return 1;
    case ColourRule::OnHold:
        return 2;
    case ColourRule::LessThan:
        return 3;
    case ColourRule::Backup:
        return 4;
    case ColourRule::BeforeToday:
    case ColourRule::Problem:
    case ColourRule::Failed:
        return 5;
    case ColourRule::Interrupted:
    case ColourRule::Aborted:
        return 6;
    case ColourRule::Done:
        return 7;
    case ColourRule::None:
    case ColourRule::Blank:
        return 0;
    }
    return 0;
}

std::vector<ColourRun> colourRuns(int list, std::span<const ColourRule> rules)
{
    // Colour indexes by rule, looked up once per row.
    static const auto colours = [] {
        std::array<quint8, 256> c{};
        for (int r = 0; r < 256; ++r)
            c[size_t(r)] = quint8(colourIndex(ColourRule(r)));
        return c;
    }();
    const auto colourOf = [](ColourRule rule) { return colours[size_t(rule)]; };
    // The empty row reads the empty record: long past and status 0. An Upcoming run of
    // such rows goes on over it.
    const auto takesBlank = [list](ColourRule rule) {
        return list == ListUpcoming &&
               (rule == ColourRule::BeforeToday || rule == ColourRule::Problem);
    };
    // Each run starts where a coloured rule follows another rule: at most that many.
    const size_t n = rules.size();
    size_t starts = n > 0 && colourOf(rules[0]) != 0;
    for (size_t k = 1; k < n; ++k)
        starts += (colourOf(rules[k]) != 0) & (rules[k - 1] != rules[k]);
    // Runs are the stretches of like rows, an empty row that an Upcoming run takes counted
    // as that run's rule. A stretch that ends is kept when it is coloured. Rows are random,
    // so this is written without branches on them: each row writes the run it may end and
    // keeps it only if it does.
    std::vector<ColourRun> runs(starts + 1);
    if (n == 0)
        return {};
    ColourRun *out = runs.data();
    size_t count = 0;
    ColourRule previous = rules[0];
    int start = 0;
    for (size_t k = 1; k < n; ++k) {
        ColourRule rule = rules[k];
        if (rule == ColourRule::Blank) [[unlikely]]
            rule = takesBlank(previous) ? previous : rule;
        const bool ends = rule != previous;
        const quint8 colour = colourOf(previous);
        out[count] = {start + 1, int(k), colour};
        count += ends & (colour != 0);
        start = ends ? int(k) : start;
        previous = rule;
    }
    if (colourOf(previous) != 0)
        out[count++] = {start + 1, int(n), colourOf(previous)};
    runs.resize(count);
    return runs;
}

QByteArray sortText(int sortCol)
{
    if (sortCol == SortStart)
        return "Sort: Start Date";
    if (sortCol == SortEnd)
        return "Sort: End Date";
    return "Sort: Other";
}

ListSort listSort(int list, int sortCol)
{
    ListSort s;
    s.text = sortText(sortCol);
    const bool byKey = sortCol == SortStart || sortCol == SortEnd;
    const bool descending = list == ListAsRun;
    s.code = (byKey ? 5 : 7) + (descending ? 1 : 0);
    const int normal = list == ListOnAir ? SortEnd : SortStart;
    s.headerRed = sortCol != normal;
    return s;
}

QByteArray eventCountText(int events)
{
    return CStr(qint64(events)) + (events == 1 ? " Event" : " Events");
}

QByteArray tabEventCountText(int events)
{
    return Str(qint64(events)) + (events == 1 ? " Event" : " Events");
}

ViewOptions viewOptionsOf(int view, const QDate &pickerDate)
{
    const Settings &s = settings();
    ViewOptions o;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        o.showHE[size_t(he)] = view >= 1 && view <= MaxViews && s.ShowHE[size_t(view)][size_t(he)];
        o.heName[size_t(he)] = s.HEName[size_t(he)];
    }
    o.filter = ViewFilter(view);
    o.pickerDate = pickerDate;
    for (int list = 1; list <= EventListCount; ++list)
        o.sortCol[size_t(list)] = SortCol(view, list);
    o.vcogLock = s.VCOGLock;
    return o;
}

} // namespace vek
