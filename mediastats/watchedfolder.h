#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>

namespace vek {

// The watched folder: on each tick it loads media-stats files dropped into AutoLoadPath,
// at most one per format (VEK, DBF, CSV, VE2, each only when its flag is set), and deletes
// each file it loaded. It has no widgets; the main window's watch timer drives it.
//
// A file loads only when it is settled: the same size and time of change as at the
// previous tick (or unchanged since before it) and not changed in the last two seconds,
// so a file still being copied is never read in part. A file that loaded but cannot be
// deleted is not loaded again while it stays the same, and a file that fails to load is
// logged once while it stays the same (and tried again on every tick). Rows for head ends
// that are not on line are not queued.
class WatchedFolder
{
public:
    WatchedFolder();

    // One tick; true when a file was loaded.
    bool tick();

    // Deletes a loaded file; true when it is gone. Tests stand in for a folder the console
    // may not write to.
    using Remover = std::function<bool(const QString &path)>;
    void setRemover(Remover remover) { m_remove = std::move(remover); }

private:
    struct Seen
    {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Seen &) const = default;
    };

    bool loadOne(const QString &folder, const QString &pattern, const QDateTime &now,
                 QHash<QString, Seen> &seenNow);

    Remover m_remove;
    QDateTime m_previousTick;
    QHash<QString, Seen> m_seen;        // every file of the previous tick
    QHash<QString, Seen> m_undeletable; // loaded, still there: never loaded again as it is
    QHash<QString, Seen> m_failed;      // failed, and logged as it is
};

} // namespace vek
