#include "mediastatsfile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    readMediaStatsFileAt(QFile::encodeName(path), rows);
}

void readMediaStatsFileAt(const QByteArray &path, MSRowTable &rows)
{
    rows.clear();
    const MediaStatsFormat format = mediaStatsFormat(QString::fromLatin1(path.right(3)));
    if (format == MediaStatsFormat::None)
        throw Failure(ErrorKind::BadFileName);
    // By the name's own bytes: a name in another encoding than the system's is reached too.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? ErrorKind::FileNotFound
                                                          : ErrorKind::PermissionDenied);
    QFile file;
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(ErrorKind::FileNotFound);
    }
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
