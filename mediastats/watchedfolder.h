#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <set>
#include <vector>

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
// not on line, or whose link is down, are not queued; the log names those with rows, and a
// file with rows for a head end whose link is down is moved into the sub-folder "Not Sent"
// rather than deleted, so those rows are kept.
// Files are reached by the names' own bytes, whatever their encoding; a folder that
// cannot be listed is logged once, with the system's cause, and again once it can be.
class WatchedFolder
{
public:
    static constexpr const char *NotSentFolder = "Not Sent";

    WatchedFolder();

    // One tick; true when a file was loaded.
    bool tick();

    // Deletes a loaded file; true when it is gone. Tests stand in for a folder the console
    // may not write to.
    using Remover = std::function<bool(const QByteArray &path)>;
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
    // A file of the folder: its name and path as the file system's bytes.
    struct Listed
    {
        QByteArray name;
        QByteArray path;
        Seen seen;
        FileId id;
    };

    // The folder's files, by name; false (logged once until it can be listed again) when
    // the folder cannot be listed.
    bool list(const QByteArray &folder, std::vector<Listed> &files);
    bool loadOne(const std::vector<Listed> &files, const char *extension, const QDateTime &now,
                 QHash<QByteArray, Seen> &seenNow);
    // The head ends of withRows whose link is down, for a log line; "" when none.
    static QByteArray headEndsNotSent(const HeadEndSet &withRows);
    // Moves a file with rows that were not sent into the sub-folder NotSentFolder.
    void keepNotSent(const Listed &file, const QByteArray &notSentTo);
    void keepFailed(const Listed &file, const QByteArray &what, const QByteArray &folder,
                    int cause);

    Remover m_remove;
    QDateTime m_previousTick;
    QHash<QByteArray, Seen> m_seen;   // every file of the previous tick
    QHash<QByteArray, Seen> m_failed; // failed, and logged as it is
    QByteArray m_unlisted;            // the folder that could not be listed, as logged
    std::set<FileId> m_kept;          // loaded but not deleted: never loaded again
    QSet<int> m_leaseErrors;          // why a lease could not be taken, each logged once
};

} // namespace vek
