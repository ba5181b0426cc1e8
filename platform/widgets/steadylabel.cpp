#include "steadylabel.h"

#include <QLabel>

namespace vek {

void keepSizeForWidestText(QLabel *label, const QStringList &widestTexts)
{
    const QString shown = label->text();
    QSize size = label->minimumSize();
    for (const QString &text : widestTexts) {
        label->setText(text);
        size = size.expandedTo(label->sizeHint());
    }
    label->setText(shown);
    label->setFixedSize(size);
    // Drawn over its own background, a new text repaints the label alone, not the windows
    // behind it.
    label->setAutoFillBackground(true);
}

} // namespace vek
