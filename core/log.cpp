#include "log.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cstdio>

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

void WriteLog(const QByteArray &text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    const QDateTime now = Clock::localNow();
    const QByteArray line = shortDate(now.date()) + ' ' +
                            now.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + text;
    QFile f(dailyLogPath(now.date()));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QByteArray crlf = line + "\r\n";
        if (f.write(crlf) == crlf.size() && f.flush())
            return;
    }
    // A read-only data folder or a full disk: the line still reaches the operator's
    // terminal or the service journal.
    const QByteArray fallback = "VEK: cannot write " + f.fileName().toLocal8Bit() + " (" +
                                f.errorString().toLocal8Bit() + "): " + line + "\n";
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

void WriteLogLimited(const QByteArray &kind, const QByteArray &text)
{
    const qint64 now = Clock::localNow().toMSecsSinceEpoch();
    auto it = limits().find(kind);
    if (it != limits().end() && now >= it->lastLoggedMs && now - it->lastLoggedMs < LimitWindowMs) {
        ++it->suppressed;
        return;
    }
    QByteArray line = text;
    if (it != limits().end() && it->suppressed > 0)
        line += " (" + QByteArray::number(it->suppressed) + " more like it not logged)";
    limits().insert(kind, LimitState{now, 0});
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

void logWriteFailure(const QByteArray &label, const QString &path, const QString &cause)
{
    const QByteArray description = errorDescription(ErrorKind::PathFileAccess) + ": " +
                                   toBytes(QFileInfo(path).fileName()) + ": " + toBytes(cause);
    logError(label, Failure(int(ErrorKind::PathFileAccess), description));
}

} // namespace vek
