#include "log.h"
#include "moduleresets.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/datafolder.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

QString dailyLogPath(const QDate &day)
{
    return dataFilePath(day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".ENG"));
}

namespace {
LogSink &sink()
{
    static LogSink s;
    return s;
}
} // namespace

void setLogSink(LogSink s)
{
    sink() = std::move(s);
}

namespace {
// Appends the whole line or nothing: a write the file system cuts short is undone, so a
// fragment never sticks to the next line. Returns "" or the system's cause.
QByteArray appendWhole(const QString &path, const QByteArray &line)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::strerror(errno);
    struct stat before
    {};
    const bool sized = ::fstat(fd, &before) == 0;
    qsizetype done = 0;
    int cause = 0;
    while (done < line.size()) {
        const ssize_t n =
            ::write(fd, line.constData() + done, static_cast<size_t>(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            cause = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    if (cause != 0 && done > 0 && sized)
        (void)::ftruncate(fd, before.st_size);
    ::close(fd);
    return cause != 0 ? QByteArray(std::strerror(cause)) : QByteArray();
}
} // namespace

void WriteLog(const QByteArray &text)
{
    // Alarm texts, file names, wire texts and settings values come from outside: a CR, LF
    // or other control byte among them would end the entry early and start one that looks
    // like the console's own. As "<n>" one entry stays one line; escaped text is unchanged.
    const QByteArray visible = visibleBytes(text);
    if (sink()) {
        sink()(visible);
        return;
    }
    const QDateTime now = Clock::localNow();
    const QByteArray line = shortDate(now.date()) + ' ' +
                            now.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' +
                            visible;
    const QString path = dailyLogPath(now.date());
    const QByteArray cause = appendWhole(path, line + "\r\n");
    if (cause.isEmpty())
        return;
    // A read-only data folder or a full disk: the line still reaches the operator's
    // terminal or the service journal.
    const QByteArray fallback = "VEK: cannot write " + visibleBytes(QFile::encodeName(path)) +
                                " (" + cause + "): " + line + "\n";
    std::fwrite(fallback.constData(), 1, static_cast<size_t>(fallback.size()), stderr);
}

namespace {
constexpr qint64 LimitWindowMs = 60 * 1000;

struct LimitState
{
    qint64 lastLoggedMs = 0;
    qint64 suppressed = 0;
};

QHash<QByteArray, LimitState> &limits()
{
    static QHash<QByteArray, LimitState> l;
    return l;
}
} // namespace

bool logLimitAllows(const QByteArray &kind)
{
    const qint64 now = Clock::localNow().toMSecsSinceEpoch();
    auto it = limits().find(kind);
    if (it != limits().end() && now >= it->lastLoggedMs && now - it->lastLoggedMs < LimitWindowMs)
        return false;
    limits().insert(kind, LimitState{now, 0});
    return true;
}

void WriteLogLimited(const QByteArray &kind, const QByteArray &text)
{
    const auto it = limits().constFind(kind);
    const qint64 suppressed = it != limits().cend() ? it->suppressed : 0;
    if (!logLimitAllows(kind)) {
        ++limits()[kind].suppressed;
        return;
    }
    QByteArray line = text;
    if (suppressed > 0)
        line += " (" + QByteArray::number(suppressed) + " more like it not logged)";
    WriteLog(line);
}

void resetLogLimits()
{
    limits().clear();
}

void logError(const QByteArray &label, const Failure &failure)
{
    WriteLog(label + Str(static_cast<qint64>(failure.number())) + ' ' + failure.description());
}

void logErrorLimited(const QByteArray &kind, const QByteArray &label, const Failure &failure)
{
    WriteLogLimited(kind, label + Str(static_cast<qint64>(failure.number())) + ' ' +
                              failure.description());
}

void logWriteFailure(const QByteArray &label, const QString &path, const QString &cause)
{
    const QByteArray description = errorDescription(ErrorKind::PathFileAccess) + ": " +
                                   toBytes(QFileInfo(path).fileName()) + ": " + toBytes(cause);
    logError(label, Failure(int(ErrorKind::PathFileAccess), description));
}

} // namespace vek
