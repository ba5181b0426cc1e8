#include "clocksetter.h"

#include <QtGlobal>
#include <cerrno>
#include <ctime>

#include "failure.h"

namespace vek {

namespace {
ClockSetter *installed = nullptr;
std::function<void(const QByteArray &)> dryRunSink;

QByteArray stamp(const QDateTime &local)
{
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
}
} // namespace

ClockSetter &ClockSetter::current()
{
    if (installed)
        return *installed;
    static SystemClockSetter real;
    static DryRunClockSetter dryRun([](const QByteArray &line) {
        if (dryRunSink)
            dryRunSink(line);
        else
            qInfo("%s", line.constData());
    });
    return qgetenv("VEK_CLOCK_DRY_RUN") == "1" ? static_cast<ClockSetter &>(dryRun) : real;
}

void ClockSetter::install(ClockSetter *setter)
{
    installed = setter;
}

void ClockSetter::setDryRunSink(std::function<void(const QByteArray &)> sink)
{
    dryRunSink = std::move(sink);
}

void SystemClockSetter::setLocalTime(const QDateTime &local)
{
    if (!local.isValid())
        throw Failure(ErrorKind::InvalidCall);
    const qint64 ms = local.toMSecsSinceEpoch();
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) == 0)
        return;
    if (errno == EPERM || errno == EACCES)
        throw Failure(ErrorKind::PermissionDenied);
    throw Failure(ErrorKind::InvalidCall);
}

void DryRunClockSetter::setLocalTime(const QDateTime &local)
{
    if (!local.isValid())
        throw Failure(ErrorKind::InvalidCall);
    const QByteArray line = "Clock not set (dry run): would set " + stamp(local);
    if (m_sink)
        m_sink(line);
    else
        qInfo("%s", line.constData());
}

} // namespace vek
