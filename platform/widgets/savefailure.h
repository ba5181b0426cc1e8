#pragma once

#include <QString>

#include "platform/atomicfile.h"

class QWidget;

namespace vek {

// Tells whoever pressed a save button that the file was not written, why, and that the
// change holds only until the console closes (critical icon, through the dialog seam).
void showSaveFailure(QWidget *parent, const QString &title, const WriteFailure &failure);

// Asks whoever pressed a save button whether to save over a file that start-up could not
// read (problem says why); true for Yes.
bool confirmReplaceUnread(QWidget *parent, const QString &title, const QString &path,
                          const QByteArray &problem);

} // namespace vek
