#pragma once

#include <QStringList>

class QLabel;

namespace vek {

// A label whose text changes every second (a clock) keeps the size the widest of these
// texts needs, set once: a label whose size can change asks its window to lay itself out
// again with every new text, and a clock would do so every second. It also paints its own
// background, so that its windows are not painted again behind it.
void keepSizeForWidestText(QLabel *label, const QStringList &widestTexts);

} // namespace vek
