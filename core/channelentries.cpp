#include "channelentries.h"

#include <algorithm>

#include "core/channeltable.h"
#include "core/convert.h"
#include "core/settings.h"
#include "platform/text.h"

namespace vek {

namespace {
constexpr int LastOfferedChannel = 255;

QList<ComboEntry> numbered(QList<ComboEntry> entries)
{
    sortEntries(entries);
    entries.removeIf([](const ComboEntry &e) { return e.Number <= 0; });
    return entries;
}
} // namespace

QByteArray channelLabel(const QByteArray &name, qint16 number)
{
    return name + " (" + QByteArray::number(number) + ")";
}

QList<ComboEntry> headEndEntries(int view)
{
    QList<ComboEntry> out;
    if (view < 1 || view > MaxViews)
        return out;
    const Settings &s = settings();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        const auto i = static_cast<size_t>(he);
        if (s.ShowHE[static_cast<size_t>(view)][i] && s.HEOnLine[i])
            out.append({s.HEName[i], "HE" + QByteArray::number(he), 0});
    }
    return out;
}

QList<ComboEntry> groupEntries(bool blankBeforeNumber)
{
    QList<ComboEntry> out{{"N/A", "GR0", 0}};
    const QByteArray prefix = blankBeforeNumber ? "Group " : "Group";
    for (int g = 1; g <= MaxGroups; ++g) {
        if (settings().GroupEnabled[static_cast<size_t>(g)])
            out.append({prefix + QByteArray::number(g), "GR" + QByteArray::number(g), 0});
    }
    return out;
}

QList<ComboEntry> destinationEntries(int headEnd)
{
    QList<ComboEntry> out;
    if (!validHeadEnd(headEnd))
        return out;
    for (int ch = 1; ch <= LastOfferedChannel; ++ch) {
        const ChannelEntry &c = Channel(headEnd, ch);
        if (!c.ChanHidden)
            out.append({channelLabel(c.ChanDesc, c.ChanNum), channelKey(ch), c.ChanNum});
    }
    return numbered(out);
}

QList<ComboEntry> sourceEntries(int headEnd, int destination)
{
    QList<ComboEntry> out;
    if (!validHeadEnd(headEnd) || destination < 0 || destination > MaxChannel)
        return out;
    const ChannelEntry &d = Channel(headEnd, destination);
    const bool checkType = settings().SignalTypeCheck;
    for (int s = 1; s <= LastOfferedChannel; ++s) {
        const ChannelEntry &c = Channel(headEnd, s);
        if (c.ChanLevel != d.ChanLevel || c.SrcExcluded)
            continue;
        if (checkType && c.SrcSigType != d.DestSigType)
            continue;
        out.append({channelLabel(c.SrcName, c.ChanNum), channelKey(s), c.ChanNum});
    }
    return numbered(out);
}

void sortEntries(QList<ComboEntry> &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ComboEntry &a, const ComboEntry &b) { return a.Number < b.Number; });
}

int keyNumber(const QByteArray &key)
{
    const QByteArray digits = trimBlanks(key).mid(2);
    if (digits.isEmpty())
        return -1;
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

QByteArray channelKey(int channel)
{
    return "CH" + Pad3Int(static_cast<qint16>(channel));
}

int typeAheadIndex(const QStringList &texts, const QString &prefix)
{
    if (prefix.isEmpty())
        return -1;
    const QString wanted = prefix.toUpper();
    for (int i = 0; i < texts.size(); ++i) {
        if (texts.at(i).toUpper().startsWith(wanted))
            return i;
    }
    return -1;
}

} // namespace vek
