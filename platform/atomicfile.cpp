#include "atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {

namespace {
// The device's own text, or the system's when the device has none to give (a failed
// flush reports "Unknown error" while errno holds the cause).
QString causeOf(const QFileDevice &f, int systemError)
{
    if (f.error() != QFileDevice::NoError && f.errorString() != QLatin1String("Unknown error"))
        return f.errorString();
    return systemError != 0 ? qt_error_string(systemError) : f.errorString();
}

// A refused open names the system's cause (a read-only file system, no permission) rather
// than Qt's "is not writable".
QString openCause(const QString &path, const QFileDevice &f, int systemError)
{
    const QFileInfo info(path);
    const QByteArray probe = QFile::encodeName(info.exists() ? path : info.absolutePath());
    if (::access(probe.constData(), W_OK) != 0)
        return qt_error_string(errno);
    return causeOf(f, systemError);
}
} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error,
                         FileAccess access, unsigned *widerMode)
{
    constexpr mode_t OwnerOnlyMode = S_IRUSR | S_IWUSR;
    if (widerMode)
        *widerMode = 0;
    struct stat old
    {};
    const bool existed = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    QSaveFile f(path);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly)) {
        const int systemError = errno;
        if (error)
            *error = openCause(path, f, systemError);
        return false;
    }
    // Before the first byte: the temporary file is never readable by anyone else.
    if (access == FileAccess::OwnerOnly && ::fchmod(f.handle(), OwnerOnlyMode) != 0) {
        const int systemError = errno;
        if (error)
            *error = qt_error_string(systemError);
        f.cancelWriting();
        return false;
    }
    // QSaveFile buffers: a write that fails later (disk full, file too large) shows only
    // in flush(), and commit() would still rename a short file over the old one.
    errno = 0;
    if (f.write(content) != content.size() || !f.flush()) {
        const int systemError = errno;
        if (error)
            *error = causeOf(f, systemError);
        f.cancelWriting();
        return false;
    }
    errno = 0;
    if (!f.commit()) {
        if (error)
            *error = causeOf(f, errno);
        return false;
    }
    const unsigned oldMode = unsigned(old.st_mode) & 07777;
    if (widerMode && access == FileAccess::OwnerOnly && existed && (oldMode & ~OwnerOnlyMode) != 0)
        *widerMode = oldMode;
    return true;
}

} // namespace vek
