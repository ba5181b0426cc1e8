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

} // namespace vek
