#include "chanviewgrid.h"

#include <algorithm>

#include "core/channelentries.h"
#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/settings.h"
#include "platform/text.h"

namespace vek {

namespace {

struct ChanViewState
{
    qint16 filter = 0;
    QByteArray channel;
};

ChanViewState &state()
{
    static ChanViewState s;
    return s;
}

// One listed entry while the list is built.
struct ChanViewRow
{
    QByteArray SrcText;
    QByteArray DestText;
    qint16 Chan = 0;
    qint16 Num = 0;
    bool Subst = false;
    bool Pending = false;
    bool Soon = false;
    bool Backup = false;
};

void paintEntry(ChanViewLine &line, int col, const ChanViewRow &row)
{
    quint8 &src = line.paint[size_t(col)];
    quint8 &dest = line.paint[size_t(col + 1)];
    // Later rules overwrite earlier ones; the Source cell of a substituted channel keeps
    // the substituted colour.
    if (row.Backup)
        src = dest = 4;
    if (row.Subst)
        src = dest = 1;
    if (row.Pending) {
        dest = 2;
        if (!row.Subst)
            src = 2;
    }
    if (row.Soon) {
        dest = 3;
        if (!row.Subst)
            src = 3;
    }
}

void resetChanViewState()
{
    state() = ChanViewState();
}
[[maybe_unused]] const bool resetChanViewStateRegistered = registerStateReset(&resetChanViewState);

} // namespace

qint16 &CVFilter()
{
    return state().filter;
}

QByteArray &CVChannel()
{
    return state().channel;
}

ChanViewFilterTexts chanViewFilterTexts(int filter)
{
    static const ChanViewFilterTexts texts[ChanViewFilters] = {
        {"ALL", "View all channels", "View all channels.", "All Channels"},
        {"SUB", "View currently substituted channels", "View currently substituded channels.",
         "Currently Substituted"},
        {"HOLD", "View pending substitution channels", "View pending substitution channels.",
         "Pending Substitution"},
        {"< 30 M", "View substitutions under 1 hour away", "View substitutions under 1 hour away.",
         "Under 30 Min. Away"},
        {"B.U.", "View backup channels in use", "View backup channels in use.", "Backup Sources"},
        {"SEL.", "View channels on the select list", "View channels on the select list.",
         "Select List"}};
    return filter >= 0 && filter < ChanViewFilters ? texts[filter] : ChanViewFilterTexts();
}

bool listedInFilter(const ChannelEntry &c, int filter)
{
    if (c.ChanHidden)
        return false;
    switch (filter) {
    case 0:
        return true;
    case 1:
        return c.Substituted;
    case 2:
        return c.PendingSub;
    case 3:
        return c.Under30;
    case 4:
        return c.OnBackup;
    case 5:
        return c.SelectList;
    default:
        return false;
    }
}

int chanViewLastChannel(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return 0;
    // A hand-edited count beyond the table must not walk past its last entry.
    return std::clamp(settings().HEChannels[size_t(headEnd)] + 1, 0, MaxChannel);
}

ChanViewGrid buildChanViewGrid(int headEnd, int filter)
{
    ChanViewGrid grid;
    std::vector<ChanViewRow> rows;
    rows.reserve(MaxChannel + 1);
    const int last = chanViewLastChannel(headEnd);
    for (int ch = 1; ch <= last; ++ch) {
        const ChannelEntry &c = Channel(headEnd, ch);
        if (!listedInFilter(c, filter))
            continue;
        ChanViewRow r;
        r.SrcText = c.CurSrcText;
        r.DestText = channelLabel(c.ChanDesc, c.ChanNum);
        r.Chan = qint16(ch);
        r.Num = c.ChanNum;
        r.Subst = c.Substituted;
        r.Pending = c.PendingSub;
        r.Soon = c.Under30;
        r.Backup = c.OnBackup;
        rows.push_back(std::move(r));
    }
    grid.listed = int(rows.size());
    // Equal numbers keep ascending channel order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ChanViewRow &a, const ChanViewRow &b) { return a.Num < b.Num; });

    if (rows.empty()) {
        grid.lines.resize(1);
        return grid;
    }
    // Half of the listed entries, rounded up, in the left pair.
    const int half = (grid.listed + 1) / 2;
    grid.lines.resize(size_t(half));
    for (int r = 1; r <= half; ++r) {
        ChanViewLine &line = grid.lines[size_t(r - 1)];
        const int col = r % 2 == 1 ? 0 : 4;
        line.paint[size_t(col)] = line.paint[size_t(col + 1)] = PaintStripe;
    }
    int r = 0;
    int col = 0;
    for (const ChanViewRow &row : rows) {
        if (row.Num <= 0)
            continue;
        if (++r > half) {
            if (col == 4)
                break;
            col = 4;
            r = 1;
        }
        ChanViewLine &line = grid.lines[size_t(r - 1)];
        line.cells[size_t(col)] = row.SrcText;
        line.cells[size_t(col + 1)] = row.DestText;
        line.cells[size_t(col + 3)] = Str(qint64(row.Chan));
        paintEntry(line, col, row);
    }
    return grid;
}

int chanViewGridHeight(int windowHeight)
{
    return windowHeight > 1255 ? windowHeight - 1255 : -1;
}

int chanViewGridWidth(int windowWidth)
{
    return windowWidth > 1080 ? windowWidth - 1080 : -1;
}

int chanViewHeadWidth(int windowWidth)
{
    return windowWidth > 270 ? windowWidth - 270 : -1;
}

int chanViewTextColumnWidth(int gridWidth)
{
    return std::max(0, (gridWidth - 65) / 4);
}

int chanViewFontPoints(int fontIndex)
{
    static const int points[4] = {6, 8, 10, 12};
    return fontIndex >= 0 && fontIndex <= 3 ? points[fontIndex] : 0;
}

} // namespace vek
