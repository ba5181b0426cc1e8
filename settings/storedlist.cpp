#include "storedlist.h"

#include <QComboBox>
#include <QVariant>

namespace vek {

namespace {
const char *const LoadedProperty = "vekStoredValue";
}

void showStoredValue(QComboBox *list, qint16 value)
{
    list->setProperty(LoadedProperty, int(value));
    const int index = int(value) - 1;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

qint16 chosenValue(const QComboBox *list)
{
    const int index = list->currentIndex();
    if (index >= 0)
        return qint16(index + 1);
    return qint16(list->property(LoadedProperty).toInt());
}

} // namespace vek
