#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/channelentries.h"
#include "platform/widgets/timebox.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vek {

class DatePanel;

// Building blocks shared by the event dialogs' forms.

// A frame with a grid of label and field columns.
QGroupBox *makeFrame(const QString &title, QWidget *parent, QGridLayout **grid);
// Gives the frames' grids the same column widths, so captions and fields line up from
// frame to frame.
void alignGrids(const QList<QGridLayout *> &grids);
// A caption label for a field, in the form's label column.
QLabel *makeCaption(const QString &text, QWidget *parent);
// A read-only value label, sunken like a box so empty values still show their place.
QLabel *makeValue(QWidget *parent);

// The Attributes frame of the Add / Update and On-Air dialogs: description and comments
// (the operator types at most textLimit characters into each; loaded text stays whole), status,
// automation and the three check boxes.
struct AttributeFields
{
    QLineEdit *txtDesc = nullptr;
    QLineEdit *txtComment = nullptr;
    QComboBox *cmbStat = nullptr;
    QComboBox *cmbControl = nullptr;
    QCheckBox *chkBKUP = nullptr;
    QCheckBox *chkMonBeg = nullptr;
    QCheckBox *chkMonEnd = nullptr;
};
QGroupBox *makeAttributesFrame(QWidget *parent, int textLimit, AttributeFields *fields,
                               QGridLayout **grid);

// Enter presses the dialog's OK button and Escape its Cancel button; while the calendar
// panel is open they take or drop its date instead.
void installEventDialogKeys(QWidget *dialog, QPushButton *ok, QPushButton *cancel,
                            DatePanel *panel = nullptr);

// Shows a freshly built dialog in front of the others, over the window that opened it.
void showInFront(QWidget *dialog);

// Fills a list with entries, their keys as item data; no signal while filling.
void fillList(QComboBox *list, const QList<ComboEntry> &entries);
// The key of the list's selected item; "" when none is selected.
QByteArray selectedKey(const QComboBox *list);
// Selects the item whose key is key; false (selection unchanged) when there is none.
bool selectKey(QComboBox *list, const QByteArray &key);

} // namespace vek
