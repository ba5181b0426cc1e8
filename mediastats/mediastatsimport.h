#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "core/settings.h"
#include "msrowtable.h"

namespace vek {

// Head ends 1..12 that an import may convert rows for; index 0 is not used.
using HeadEndSet = std::array<bool, MaxHeadEnds + 1>;
HeadEndSet allHeadEnds();

// One import of one media-stats file: its rows, the row and head end being converted and
// the choice of old events all belong to this run, so nothing another import does
// meanwhile (a watched-folder tick while a dialog waits) can change it.
class MediaStatsImport
{
public:
    MSRowTable MSRows;
    int MSRowIndex = 0;
    int MSHeadEnd = 0;
    // Rows dated before today are still sent (as "Date Prob.").
    bool LoadOldEvents = false;

    // Reads the file at path into MSRows by the format of its name; throws a Failure
    // (the rows read until then stay, and are not converted).
    void readFile(const QString &path);
    // The same for a path given as the file system's bytes.
    void readFileAt(const QByteArray &path);

    // The matching loop: for every row (outer) and every head end of headEnds (inner)
    // whose C.O. number equals the row's (both trimmed, exact case), MSCONVERT.
    // After the loop one log line names the file, how many rows were not converted for
    // which head ends and the first such row, when there were any.
    void convertRows(const HeadEndSet &headEnds);

    // The head ends (of all twelve) whose C.O. number a row carries.
    HeadEndSet headEndsWithRows() const;

    // Turns row MSRowIndex into an event for head end MSHeadEnd and puts its "Q" message
    // on the WIN queue, or queues the deletions a "REMV" row asks for. A row that cannot
    // be converted is logged ("Error MSCONVERT)") and nothing is queued for it.
    void MSCONVERT();

private:
    // The channel indexes by upper-cased, trimmed name, in increasing order.
    using ChannelNames = QHash<QByteArray, std::vector<int>>;

    void convertRow();
    void logFailedRows() const;
    const ChannelNames &channelNames(int headEnd);
    // "name (number)" of a channel's source or destination.
    const QByteArray &channelLabel(int headEnd, int channel, bool source);
    QByteArray existingKey(int headEnd, const QByteArray &mediaPointId);
    QByteArray newKey(int headEnd);

    // Taken from the tables when a loop first needs them; the tables cannot change while
    // the loop runs, since it never returns to the event loop.
    std::array<std::optional<ChannelNames>, MaxHeadEnds + 1> m_channelNames;
    std::array<std::optional<QHash<QByteArray, QByteArray>>, MaxHeadEnds + 1> m_keysById;
    // Source and destination labels by channel index, made when first needed.
    std::array<std::array<std::vector<QByteArray>, 2>, MaxHeadEnds + 1> m_labels;
    // New keys: the import's second, the row number after the head end's digit. Rows
    // whose number would need a fifth digit take further seconds, counted per head end.
    QByteArray m_stamp;
    std::vector<QByteArray> m_extraStamps;
    std::array<int, MaxHeadEnds + 1> m_overflowRows{};
    // The file read, for the log; the rows not converted per head end, and the first.
    QByteArray m_fileName;
    std::array<int, MaxHeadEnds + 1> m_failedRows{};
    int m_firstFailedRow = 0;
};

} // namespace vek
