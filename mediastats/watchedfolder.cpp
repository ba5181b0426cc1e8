#include "watchedfolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

void logLine(const QByteArray &name, const QByteArray &what)
{
    WriteLog("MediaStats Auto Load " + readableFileName(name) + " " + what);
}

// "*.VEK" as the folder list matched it: any letter case, a bare ".vek" included.
bool hasExtension(const QByteArray &name, const char *extension)
{
    return name.size() >= 4 &&
           QByteArrayView(name).last(4).compare(extension, Qt::CaseInsensitive) == 0;
}

} // namespace

WatchedFolder::WatchedFolder()
    : m_remove([](const QByteArray &path) { return ::unlink(path.constData()) == 0; }),
      m_previousTick(Clock::localNow())
{}

bool WatchedFolder::tick()
{
    const QDateTime now = Clock::localNow();
    QHash<QByteArray, Seen> seenNow;
    bool loaded = false;
    const Settings &s = settings();
    const std::pair<bool, const char *> formats[] = {{s.AutoLoadVEK, ".VEK"},
                                                     {s.AutoLoadDBF, ".DBF"},
                                                     {s.AutoLoadCSV, ".CSV"},
                                                     {s.AutoLoadVE2, ".VE2"}};
    const bool watched = s.AutoLoadVEK || s.AutoLoadDBF || s.AutoLoadCSV || s.AutoLoadVE2;
    const QByteArray folder = watchedFolderPath();
    std::vector<Listed> files;
    if (watched && !folder.isEmpty() && list(folder, files)) {
        for (const auto &[on, extension] : formats) {
            if (on && loadOne(files, extension, now, seenNow))
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

bool WatchedFolder::list(const QByteArray &folder, std::vector<Listed> &files)
{
    // The names as the folder holds them: a name that is not in the system's encoding
    // still reaches its file.
    DIR *dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        const int cause = errno;
        if (m_unlisted != folder) {
            m_unlisted = folder;
            WriteLog("MediaStats Auto Load cannot list the folder " + readableFileName(folder) +
                     " (" + QByteArray(std::strerror(cause)) + ")");
        }
        return false;
    }
    if (m_unlisted == folder)
        WriteLog("MediaStats Auto Load can list the folder " + readableFileName(folder) + " again");
    m_unlisted.clear();
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const QByteArray path = folder + name;
        struct stat st;
        if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const qint64 modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        files.push_back(
            {name, path,
             Seen{qint64(st.st_size), QDateTime::fromMSecsSinceEpoch(modifiedNs / 1000000)},
             FileId{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), modifiedNs}});
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end(),
              [](const Listed &a, const Listed &b) { return a.name < b.name; });
    return true;
}

bool WatchedFolder::loadOne(const std::vector<Listed> &files, const char *extension,
                            const QDateTime &now, QHash<QByteArray, Seen> &seenNow)
{
    for (const Listed &file : files) {
        if (hasExtension(file.name, extension))
            seenNow.insert(file.path, file.seen);
    }

    for (const Listed &file : files) {
        const QByteArray &path = file.path;
        const QByteArray &name = file.name;
        if (!hasExtension(name, extension) || trimBlanks(name).isEmpty())
            continue;
        const Seen &seen = file.seen;
        if (m_kept.contains(file.id))
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
                     QByteArray(std::strerror(lease.error())) + "): " + readableFileName(name) +
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
        // Rows some head end did not get are kept in their file; the head ends that got
        // them are not sent them again, as the file leaves the watched folder.
        const QByteArray notSentTo = headEndsNotSent(withRows);
        if (!notSentTo.isEmpty()) {
            keepNotSent(file, notSentTo);
            return true;
        }
        if (!m_remove(path)) {
            logLine(name, "loaded but could not be deleted; it is not loaded again");
            m_kept.insert(file.id);
        }
        return true;
    }
    return false;
}

QByteArray WatchedFolder::headEndsNotSent(const HeadEndSet &withRows)
{
    QByteArray heads;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (withRows[size_t(he)] && settings().HEOnLine[size_t(he)] && HeadEndLinkDown(he)) {
            heads += QByteArray(heads.isEmpty() ? "" : ",") + " head end" + Str(qint64(he)) + " (" +
                     settings().HEName[size_t(he)] + ")";
        }
    }
    return heads;
}

void WatchedFolder::keepNotSent(const Listed &file, const QByteArray &notSentTo)
{
    const QByteArray what = "loaded; its rows were not sent to" + notSentTo + ": the link is down";
    const QByteArray folder = watchedFolderPath() + NotSentFolder;
    if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST) {
        keepFailed(file, what, folder, errno);
        return;
    }
    // A name already there gets a number: "a.csv", "a (1).csv", "a (2).csv", ..
    const qsizetype dot = file.name.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? file.name.left(dot) : file.name;
    const QByteArray extension = dot > 0 ? file.name.mid(dot) : QByteArray();
    for (int n = 0; n < 10000; ++n) {
        const QByteArray target =
            folder + '/' +
            (n == 0 ? file.name : stem + " (" + QByteArray::number(n) + ")" + extension);
        // A hard link never replaces a file of the same name.
        if (::link(file.path.constData(), target.constData()) == 0) {
            ::unlink(file.path.constData());
            logLine(file.name, what + "; it is kept as " + readableFileName(target));
            return;
        }
        if (errno == EEXIST)
            continue;
        // A file system without hard links: a rename, once the name is seen to be free.
        struct stat st;
        if (::stat(target.constData(), &st) != 0 &&
            ::rename(file.path.constData(), target.constData()) == 0) {
            logLine(file.name, what + "; it is kept as " + readableFileName(target));
            return;
        }
        break;
    }
    keepFailed(file, what, folder, errno);
}

void WatchedFolder::keepFailed(const Listed &file, const QByteArray &what, const QByteArray &folder,
                               int cause)
{
    logLine(file.name, what + "; it could not be moved into " + readableFileName(folder) + " (" +
                           QByteArray(std::strerror(cause)) +
                           ") and stays where it is; it is not loaded again");
    m_kept.insert(file.id);
}

} // namespace vek
