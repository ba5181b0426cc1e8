#include "loadmediastats.h"

#include <QDir>

#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

bool LoadMediaStats(const QString &fileName, MediaStatsError *error, const HeadEndSet &headEnds,
                    HeadEndSet *withRows)
{
    MediaStatsImport run;
    run.LoadOldEvents = false;
    try {
        // No folder is no folder: never the working directory.
        const QByteArray folder = trimBlanks(settings().AutoLoadPath);
        if (folder.isEmpty())
            throw Failure(ErrorKind::PathFileAccess);
        run.readFile(QDir(fromBytes(folder)).filePath(fileName));
        run.convertRows(headEnds);
        if (withRows)
            *withRows = run.headEndsWithRows();
    } catch (const Failure &f) {
        if (error)
            *error = {f.number(), f.description()};
        return true;
    }
    return false;
}

} // namespace vek
