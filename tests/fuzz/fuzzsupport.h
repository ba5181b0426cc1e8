#pragma once

// Shared set-up of the fuzz programs: a scratch data folder, a clock that stands still,
// log lines kept out of the file, and the input as bytes.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/log.h"
#include "platform/clock.h"

namespace vekfuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    // A copy, as a socket or file read gives one: code that reads past the end shows.
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// A fixed instant, so a finding replays the same way.
inline const vek::Clock &standingClock()
{
    static const vek::ManualClock clock(QDateTime(QDate(2026, 3, 14), QTime(12, 30, 0)));
    return clock;
}

// Files go to memory where the system has a folder for it: the file targets write one
// per run.
inline QString scratchRoot()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                     : QDir::tempPath();
}

// A property the parser must keep; a breach is a finding.
inline void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "vekfuzz: property broken: %s\n", what);
        std::abort();
    }
}

// A log entry, as written: one line, whatever text from outside it holds.
inline void requireOneLine(const QByteArray &entry)
{
    for (const char c : entry) {
        const auto code = static_cast<unsigned char>(c);
        require(code >= 32 && code != 127, "one log entry is one line");
    }
}

// Once per process: VEK_HOME on a scratch folder, the standing clock, and log lines kept
// out of the file (a run writes thousands; the file would only slow the search), each
// checked to be one line.
inline void setUp()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static QTemporaryDir home(scratchRoot() + QStringLiteral("/vek-fuzz-XXXXXX"));
    if (!home.isValid()) {
        std::fputs("vekfuzz: no scratch folder\n", stderr);
        std::abort();
    }
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    vek::Clock::install(&standingClock());
    vek::setLogSink([](const QByteArray &entry) { requireOneLine(entry); });
}

// Replaces a file of the scratch data folder.
inline void writeDataFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size()) {
        std::fputs("vekfuzz: cannot write the scratch file\n", stderr);
        std::abort();
    }
}

} // namespace vekfuzz
