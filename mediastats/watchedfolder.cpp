#include "watchedfolder.h"

#include <QDir>
#include <QFile>

#include "core/log.h"
#include "core/settings.h"
#include "loadmediastats.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace vek {

namespace {

constexpr qint64 SettledMs = 2000;

// Head ends whose links run: the rows of the others would only pile up in the queue.
HeadEndSet onLineHeadEnds()
{
    HeadEndSet on{};
    for (int he = 1; he <= MaxHeadEnds; ++he)
        on[size_t(he)] = settings().HEOnLine[size_t(he)];
    return on;
}

void logLine(const QString &name, const QByteArray &what)
{
    WriteLog("MediaStats Auto Load " + toBytes(name) + " " + what);
}

} // namespace

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
    // What is gone (or no longer watched) is forgotten.
    for (auto *table : {&m_undeletable, &m_failed}) {
        for (auto it = table->begin(); it != table->end();)
            it = seenNow.contains(it.key()) ? std::next(it) : table->erase(it);
    }
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
        const auto stuck = m_undeletable.constFind(path);
        if (stuck != m_undeletable.constEnd() && *stuck == seen)
            continue;
        const auto before = m_seen.constFind(path);
        const bool unchanged =
            (before != m_seen.constEnd() && *before == seen) || seen.modified <= m_previousTick;
        if (!unchanged || seen.modified.msecsTo(now) < SettledMs)
            continue;

        MediaStatsError error;
        if (LoadMediaStats(name, &error, onLineHeadEnds())) {
            const auto failed = m_failed.constFind(path);
            if (failed == m_failed.constEnd() || *failed != seen) {
                logLine(name,
                        "not loaded: Error" + Str(qint64(error.number)) + " " + error.description);
                m_failed.insert(path, seen);
            }
            continue;
        }
        m_failed.remove(path);
        if (!m_remove(path)) {
            logLine(name, "loaded but could not be deleted; it is not loaded again");
            m_undeletable.insert(path, seen);
        }
        return true;
    }
    return false;
}

} // namespace vek
