#pragma once

#include <QtGlobal>

class QComboBox;

namespace vek {

// A drop-down list whose entry n (0-based) stands for the stored number n + 1.
//
// A stored number outside the list (a list number of 40, a privilege of 7, a stored 0)
// selects nothing and is remembered: a list still without a selection when the dialog
// saves gives back that number, so opening and saving never changes what it cannot show.

// Selects the entry of value, or none.
void showStoredValue(QComboBox *list, qint16 value);
// The chosen entry's number, or the value shown when nothing is chosen.
qint16 chosenValue(const QComboBox *list);

} // namespace vek
