#pragma once

#include <QString>

#include "platform/atomicfile.h"

class QWidget;

namespace vek {

// Tells whoever pressed a save button that the file was not written, why, and that the
// change holds only until the console closes (critical icon, through the dialog seam).
void showSaveFailure(QWidget *parent, const QString &title, const WriteFailure &failure);

} // namespace vek
