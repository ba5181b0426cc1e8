#include "log.h"

#include <QFile>

#include "platform/clock.h"
#include "platform/datafolder.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

QString dailyLogPath(const QDate &day)
{
    return dataFilePath(day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".ENG"));
}

void WriteLog(const QByteArray &text)
{
    const QDateTime now = Clock::localNow();
    QFile f(dailyLogPath(now.date()));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    f.write(shortDate(now.date()) + ' ' +
            now.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + text + "\r\n");
}

void logError(const QByteArray &label, const Failure &failure)
{
    WriteLog(label + Str(static_cast<qint64>(failure.number())) + ' ' + failure.description());
}

} // namespace vek
