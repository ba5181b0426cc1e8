#pragma once

#include <QByteArray>
#include <QString>

#include "msrowtable.h"

namespace vek {

enum class MediaStatsFormat { None, Dbf, Vek, Csv };

// The format of a file by the last three letters of its name, in any case: DBF, VEK,
// CSV or VE2 (read as CSV).
MediaStatsFormat mediaStatsFormat(const QString &fileName);

// Reads bytes of the given format into the table (emptied first). Throws a Failure as
// the readers do; a name of no format is a bad-file-name Failure.
void readMediaStatsBytes(MediaStatsFormat format, const QByteArray &bytes, MSRowTable &rows);

// Reads the file at path by the format of its name. The table is emptied first, so a
// name of no format leaves no rows (and is a bad-file-name Failure); a file missing,
// unreadable or larger than the cap is a Failure too.
void readMediaStatsFile(const QString &path, MSRowTable &rows);
// The same for a path given as the file system's bytes.
void readMediaStatsFileAt(const QByteArray &path, MSRowTable &rows);

} // namespace vek
