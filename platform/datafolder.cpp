#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>

namespace vek {

QString dataFolder()
{
    const QString home = qEnvironmentVariable("VEK_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QCoreApplication::applicationDirPath();
}

QString dataFilePath(const QString &fileName)
{
    return dataFolder() + QLatin1Char('/') + fileName;
}

} // namespace vek
