#include "savefailure.h"

#include <QDir>

#include "dialogseam.h"

namespace vek {

void showSaveFailure(QWidget *parent, const QString &title, const WriteFailure &failure)
{
    DialogSeam::message(parent, QMessageBox::Critical, title,
                        QStringLiteral("The change could not be saved to %1 (%2).  It holds "
                                       "only until the console closes.")
                            .arg(QDir::toNativeSeparators(failure.path), failure.cause));
}

bool confirmReplaceUnread(QWidget *parent, const QString &title, const QString &path,
                          const QByteArray &problem)
{
    const QString text =
        QStringLiteral("%1 %2 when the console started, so it has not been saved over.  Replace "
                       "it with the settings now in use?")
            .arg(QDir::toNativeSeparators(path), QString::fromLatin1(problem));
    return DialogSeam::message(parent, QMessageBox::Question, title, text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

} // namespace vek
