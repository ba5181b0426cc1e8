#include "formparts.h"

#include <QCheckBox>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

#include "datepanel.h"
#include "platform/text.h"
#include "platform/widgets/dialogkeys.h"
#include "platform/widgets/typinglimit.h"

namespace vek {

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

QGroupBox *makeAttributesFrame(QWidget *parent, int textLimit, AttributeFields *fields,
                               QGridLayout **grid)
{
    QGroupBox *frame = makeFrame(QStringLiteral("Attributes"), parent, grid);
    QGridLayout *g = *grid;
    AttributeFields &f = *fields;
    f.txtDesc = new QLineEdit(frame);
    TypingLimit::apply(f.txtDesc, textLimit);
    f.txtComment = new QLineEdit(frame);
    TypingLimit::apply(f.txtComment, textLimit);
    f.cmbStat = new QComboBox(frame);
    f.cmbControl = new QComboBox(frame);
    f.chkBKUP = new QCheckBox(QStringLiteral("Enable Backup Source"), frame);
    f.chkMonBeg = new QCheckBox(QStringLiteral("Monitor Beginning"), frame);
    f.chkMonEnd = new QCheckBox(QStringLiteral("Monitor End"), frame);
    g->addWidget(makeCaption(QStringLiteral("Description"), frame), 0, 0);
    g->addWidget(f.txtDesc, 0, 1, 1, 3);
    g->addWidget(makeCaption(QStringLiteral("Comments"), frame), 1, 0);
    g->addWidget(f.txtComment, 1, 1, 1, 3);
    g->addWidget(makeCaption(QStringLiteral("Status"), frame), 2, 0);
    g->addWidget(f.cmbStat, 2, 1);
    g->addWidget(makeCaption(QStringLiteral("Automation"), frame), 2, 2);
    g->addWidget(f.cmbControl, 2, 3);
    g->addWidget(f.chkBKUP, 3, 1);
    g->addWidget(f.chkMonBeg, 4, 1);
    g->addWidget(f.chkMonEnd, 4, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    return frame;
}

void installEventDialogKeys(QWidget *dialog, QPushButton *ok, QPushButton *cancel, DatePanel *panel)
{
    const QPointer<DatePanel> calendar(panel);
    DialogKeys::install(
        dialog,
        [calendar, ok] {
            if (calendar && calendar->isVisible())
                calendar->cmdDateOk_Click();
            else
                ok->click();
        },
        [calendar, cancel] {
            if (calendar && calendar->isVisible())
                calendar->cmdDateCancel_Click();
            else
                cancel->click();
        });
}

namespace {
// A control given a minimum width of its own would be squeezed down to it by the form's
// grid (equal stretch): raise that minimum to what its loaded text needs, so a long
// head-end or channel name shows whole.
template <typename Control> void keepWhole(QWidget *dialog)
{
    for (Control *c : dialog->findChildren<Control *>()) {
        c->ensurePolished();
        const int needed = c->sizeHint().width();
        if (c->minimumWidth() > 0 && c->minimumWidth() < needed)
            c->setMinimumWidth(needed);
    }
}
} // namespace

void showInFront(QWidget *dialog)
{
    // Lists measure what they hold now, not what they held when the form was built.
    for (QComboBox *list : dialog->findChildren<QComboBox *>()) {
        if (list->sizeAdjustPolicy() == QComboBox::AdjustToContentsOnFirstShow)
            list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    keepWhole<QLabel>(dialog);
    keepWhole<QComboBox>(dialog);
    // Over the middle of the window that opened it (an Event View), kept on its screen.
    dialog->adjustSize();
    if (QWidget *opener = dialog->parentWidget()) {
        QRect r(QPoint(0, 0), dialog->size());
        r.moveCenter(opener->mapToGlobal(opener->rect().center()));
        if (const QScreen *screen = opener->screen()) {
            const QRect area = screen->availableGeometry();
            r.moveLeft(qBound(area.left(), r.left(), qMax(area.left(), area.right() - r.width())));
            r.moveTop(qBound(area.top(), r.top(), qMax(area.top(), area.bottom() - r.height())));
        }
        dialog->move(r.topLeft());
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace vek
