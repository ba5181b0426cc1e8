#include "watchedfolder.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <sys/stat.h>

#include "core/log.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "loadmediastats.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "readlease.h"

namespace vek {

namespace {

constexpr qint64 SettledMs = 2000;

// Head ends whose links run: the rows of the others would only pile up in the queue, and
// go when the file is deleted.
HeadEndSet linkedHeadEnds()
{
    HeadEndSet on{};
    for (int he = 1; he <= MaxHeadEnds; ++he)
        on[size_t(he)] = settings().HEOnLine[size_t(he)] && !HeadEndLinkDown(he);
    return on;
}

void logLine(const QString &name, const QByteArray &what)
{
    WriteLog("MediaStats Auto Load " + toBytes(name) + " " + what);
}

} // namespace

std::optional<WatchedFolder::FileId> WatchedFolder::fileId(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                  qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

WatchedFolder::WatchedFolder()
    : m_remove([](const QString &path) { return QFile::remove(path); }),
      m_previousTick(Clock::localNow())
{}

bool WatchedFolder::tick()
{
    const QDateTime now = Clock::localNow();
    QHash<QString, Seen> seenNow;
    bool loaded = false;
    // No folder is no folder: never the working directory.
    const QByteArray folder = trimBlanks(settings().AutoLoadPath);
    if (!folder.isEmpty()) {
        const Settings &s = settings();
        const std::pair<bool, QString> formats[] = {{s.AutoLoadVEK, QStringLiteral("*.VEK")},
                                                    {s.AutoLoadDBF, QStringLiteral("*.DBF")},
                                                    {s.AutoLoadCSV, QStringLiteral("*.CSV")},
                                                    {s.AutoLoadVE2, QStringLiteral("*.VE2")}};
        for (const auto &[on, pattern] : formats) {
            if (on && loadOne(fromBytes(folder), pattern, now, seenNow))
                loaded = true;
        }
    }
    m_seen = seenNow;
    m_previousTick = now;
    // A failure gone (or no longer watched) is logged again when it comes back.
    for (auto it = m_failed.begin(); it != m_failed.end();)
        it = seenNow.contains(it.key()) ? std::next(it) : m_failed.erase(it);
    return loaded;
}

bool WatchedFolder::loadOne(const QString &folder, const QString &pattern, const QDateTime &now,
                            QHash<QString, Seen> &seenNow)
{
    // Name filters match without regard to letter case: *.VEK finds a.vek too.
    const QFileInfoList files =
        QDir(folder).entryInfoList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &info : files)
        seenNow.insert(info.filePath(), {info.size(), info.lastModified()});

    for (const QFileInfo &info : files) {
        const QString path = info.filePath();
        const QString name = info.fileName();
        if (trimBlanks(name).isEmpty())
            continue;
        const Seen seen = seenNow.value(path);
        const std::optional<FileId> id = fileId(path);
        if (id && m_kept.contains(*id))
            continue;
        // The same size and time at two ticks settle a file whatever its time stamp says
        // (a copy from a clock ahead of ours); a file first seen must be older than the
        // last tick. Either way not changed in the last two seconds by our clock.
        const auto before = m_seen.constFind(path);
        const bool sameAsBefore = before != m_seen.constEnd() && *before == seen;
        const qint64 age = seen.modified.msecsTo(now);
        const bool settled =
            (sameAsBefore || seen.modified <= m_previousTick) && (age < 0 || age >= SettledMs);
        if (!settled)
            continue;
        // A writer that pauses leaves a file that looks settled: it waits while any
        // process has it open for writing. The lease is held until the file is deleted.
        const ReadLease lease(path);
        if (lease.state() == ReadLease::State::Busy)
            continue;
        if (lease.state() == ReadLease::State::Unavailable &&
            !m_leaseErrors.contains(lease.error())) {
            m_leaseErrors.insert(lease.error());
            WriteLog("MediaStats Auto Load cannot tell whether a file is still being written (" +
                     QByteArray(std::strerror(lease.error())) + "): " + toBytes(name) +
                     " and others load once their size and time stay the same");
        }

        MediaStatsError error;
        const HeadEndSet linked = linkedHeadEnds();
        bool anyDown = false;
        for (int he = 1; he <= MaxHeadEnds; ++he)
            anyDown = anyDown || (settings().HEOnLine[size_t(he)] && !linked[size_t(he)]);
        HeadEndSet withRows{};
        if (LoadMediaStats(name, &error, linked, anyDown ? &withRows : nullptr)) {
            const auto failed = m_failed.constFind(path);
            if (failed == m_failed.constEnd() || *failed != seen) {
                logLine(name,
                        "not loaded: Error" + Str(qint64(error.number)) + " " + error.description);
                m_failed.insert(path, seen);
            }
            continue;
        }
        m_failed.remove(path);
        logNotSent(name, withRows);
        if (!m_remove(path)) {
            logLine(name, "loaded but could not be deleted; it is not loaded again");
            if (id)
                m_kept.insert(*id);
        }
        return true;
    }
    return false;
}

void WatchedFolder::logNotSent(const QString &name, const HeadEndSet &withRows)
{
    QByteArray heads;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (withRows[size_t(he)] && settings().HEOnLine[size_t(he)] && HeadEndLinkDown(he)) {
            heads += QByteArray(heads.isEmpty() ? "" : ",") + " head end" + Str(qint64(he)) + " (" +
                     settings().HEName[size_t(he)] + ")";
        }
    }
    if (!heads.isEmpty())
        logLine(name, "loaded; its rows were not sent to" + heads + ": the link is down");
}

} // namespace vek
