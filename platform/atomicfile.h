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

// Writes a whole file through a temporary file in the same folder that is renamed over
// the old one, so a failure leaves the old file whole. On failure returns false and
// sets *error to a short description.
bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error);

} // namespace vek
