#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <set>

#include "mediastatsimport.h"

namespace vek {

// The watched folder: on each tick it loads media-stats files dropped into AutoLoadPath,
// at most one per format (VEK, DBF, CSV, VE2, each only when its flag is set), and deletes
// each file it loaded. It has no widgets; the main window's watch timer drives it.
//
// A file loads only when it is settled: the same size and time of change as at the
// previous tick (or unchanged since before it), not changed in the last two seconds, and
// open for writing by no process (where the system can tell), so a file still being
// copied or written is never read in part. A file that loaded but cannot be deleted is
// not loaded again while the console runs, known by its device, inode, size and time
// whatever happens to the folder meanwhile; a file that fails to load is logged once
// while it stays the same (and tried again on every tick). Rows for head ends that are
// not on line, or whose link is down, are not queued; the log names those with rows.
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
    // A file as the file system knows it, whatever its name or folder.
    struct FileId
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        auto operator<=>(const FileId &) const = default;
    };
    static std::optional<FileId> fileId(const QString &path);

    bool loadOne(const QString &folder, const QString &pattern, const QDateTime &now,
                 QHash<QString, Seen> &seenNow);
    void logNotSent(const QString &name, const HeadEndSet &withRows);

    Remover m_remove;
    QDateTime m_previousTick;
    QHash<QString, Seen> m_seen;   // every file of the previous tick
    QHash<QString, Seen> m_failed; // failed, and logged as it is
    std::set<FileId> m_kept;       // loaded but not deleted: never loaded again
    QSet<int> m_leaseErrors;       // why a lease could not be taken, each logged once
};

} // namespace vek
