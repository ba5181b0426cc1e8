#include "atomicfile.h"

#include <QSaveFile>

namespace vek {

bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    // QSaveFile buffers: a write that fails later (disk full, file too large) shows only
    // in flush(), and commit() would still rename a short file over the old one.
    if (f.write(content) != content.size() || !f.flush()) {
        if (error)
            *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace vek
