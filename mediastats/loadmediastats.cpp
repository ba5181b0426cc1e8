#include "loadmediastats.h"

#include <QFile>

#include "platform/failure.h"
#include "platform/text.h"

namespace vek {

QByteArray watchedFolderPath()
{
    const QByteArray folder = trimBlanks(settings().AutoLoadPath);
    if (folder.isEmpty())
        return {};
    // The setting is single-byte text; the folder's name on disk is in the system's encoding.
    QByteArray path = QFile::encodeName(fromBytes(folder));
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

bool LoadMediaStats(const QByteArray &fileName, MediaStatsError *error, const HeadEndSet &headEnds,
                    HeadEndSet *withRows)
{
    MediaStatsImport run;
    run.LoadOldEvents = false;
    try {
        const QByteArray folder = watchedFolderPath();
        if (folder.isEmpty())
            throw Failure(ErrorKind::PathFileAccess);
        run.readFileAt(folder + fileName);
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
