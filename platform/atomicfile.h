#pragma once

#include <QByteArray>
#include <QString>

namespace vek {

// A file that could not be written, and the system's cause.
struct WriteFailure
{
    QString path;
    QString cause;
};

// Who may read a file that is written: as the old file allowed (the umask's default for a
// new one), or its owner only (a file that holds secrets).
enum class FileAccess { Kept, OwnerOnly };

// Writes a whole file through a temporary file in the same folder that is renamed over
// the old one, so a failure leaves the old file whole. On failure returns false and
// sets *error to a short description. With OwnerOnly the file is readable and writable by
// its owner alone from its first byte on; widerMode, when given, gets the old file's
// permission bits when they allowed more (else 0).
bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error,
                         FileAccess access = FileAccess::Kept, unsigned *widerMode = nullptr);

} // namespace vek
