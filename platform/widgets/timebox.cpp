#include "timebox.h"

#include <QLineEdit>

#include "platform/text.h"

namespace vek {

QLineEdit *makeTimeBox(QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setInputMask(QStringLiteral("99:99:99;_"));
    const int width = box->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 24;
    box->setFixedWidth(width);
    return box;
}

QByteArray timeBoxText(const QLineEdit *box)
{
    return toBytes(box->displayText());
}

} // namespace vek
