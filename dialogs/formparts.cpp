#include "formparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

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

QGroupBox *makeFrame(const QString &title, QWidget *parent, QGridLayout **grid)
{
    auto *frame = new QGroupBox(title, parent);
    *grid = new QGridLayout(frame);
    (*grid)->setHorizontalSpacing(10);
    (*grid)->setVerticalSpacing(6);
    return frame;
}

void alignGrids(const QList<QGridLayout *> &grids)
{
    QList<int> widths;
    for (QGridLayout *grid : grids) {
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            if (columnSpan != 1)
                continue;
            while (widths.size() <= column)
                widths.append(0);
            widths[column] = qMax(widths[column], grid->itemAt(i)->sizeHint().width());
        }
    }
    for (QGridLayout *grid : grids) {
        for (int c = 0; c < widths.size(); ++c)
            grid->setColumnMinimumWidth(c, widths[c]);
    }
}

QLabel *makeCaption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLabel *makeValue(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumHeight(label->fontMetrics().height() + 8);
    label->setMinimumWidth(80);
    return label;
}

void fillList(QComboBox *list, const QList<ComboEntry> &entries)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const ComboEntry &e : entries)
        list->addItem(fromBytes(e.Text), e.Key);
}

QByteArray selectedKey(const QComboBox *list)
{
    if (list->currentIndex() < 0)
        return "";
    return list->currentData().toByteArray();
}

bool selectKey(QComboBox *list, const QByteArray &key)
{
    const int i = list->findData(key);
    if (i < 0)
        return false;
    list->setCurrentIndex(i);
    return true;
}

} // namespace vek
