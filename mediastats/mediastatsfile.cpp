#include "mediastatsfile.h"

#include <QFile>
#include <QFileInfo>

#include "csvreader.h"
#include "dbfreader.h"
#include "filetext.h"
#include "platform/failure.h"
#include "vekreader.h"

namespace vek {

namespace {

// The operator learns why the file was refused, not that its format is wrong.
[[noreturn]] void tooLarge(qint64 size)
{
    throw Failure(int(ErrorKind::InvalidFileFormat), "File too large: " + QByteArray::number(size) +
                                                         " bytes, at most " +
                                                         QByteArray::number(MaxMediaStatsFileSize));
}

} // namespace

MediaStatsFormat mediaStatsFormat(const QString &fileName)
{
    const QString ext = fileName.right(3).toUpper();
    if (ext == QLatin1String("DBF"))
        return MediaStatsFormat::Dbf;
    if (ext == QLatin1String("VEK"))
        return MediaStatsFormat::Vek;
    if (ext == QLatin1String("CSV") || ext == QLatin1String("VE2"))
        return MediaStatsFormat::Csv;
    return MediaStatsFormat::None;
}

void readMediaStatsBytes(MediaStatsFormat format, const QByteArray &bytes, MSRowTable &rows)
{
    switch (format) {
    case MediaStatsFormat::Dbf:
        readDbf(bytes, rows);
        return;
    case MediaStatsFormat::Vek:
        readVek(bytes, rows);
        return;
    case MediaStatsFormat::Csv:
        readCsv(bytes, rows);
        return;
    case MediaStatsFormat::None:
        break;
    }
    rows.clear();
    throw Failure(ErrorKind::BadFileName);
}

void readMediaStatsFile(const QString &path, MSRowTable &rows)
{
    rows.clear();
    const MediaStatsFormat format = mediaStatsFormat(path);
    if (format == MediaStatsFormat::None)
        throw Failure(ErrorKind::BadFileName);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw Failure(ErrorKind::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(ErrorKind::PermissionDenied);
    const qint64 size = file.size();
    if (size > MaxMediaStatsFileSize)
        tooLarge(size);
    // One byte more than the size shows a file that grew since its size was read; only
    // then is the rest, up to one byte past the cap, read too. Asking for the cap at
    // once would allocate all of it for every file.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() > size)
        bytes += file.read(MaxMediaStatsFileSize + 1 - bytes.size());
    if (bytes.size() > MaxMediaStatsFileSize)
        tooLarge(qMax(file.size(), qint64(bytes.size())));
    if (file.error() != QFileDevice::NoError)
        throw Failure(ErrorKind::PathFileAccess);
    readMediaStatsBytes(format, bytes, rows);
}

} // namespace vek
