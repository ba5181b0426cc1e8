#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <functional>

#include "eventview/eventcommands.h"

class QWidget;

// Helpers shared by the event and group commands.
namespace vek {

// Runs a command under its error handler: a failure is logged as "Error " + label + ")"
// with its number and description, and the command ends there.
void guarded(const char *label, const std::function<void()> &work);

// An OK box through the dialog seam.
void notice(QWidget *parent, QMessageBox::Icon icon, const QByteArray &title,
            const QByteArray &text);
// A Yes/No question; records the answer in MsgAnswer.
bool confirm(QWidget *parent, const QByteArray &title, const QByteArray &text,
             QMessageBox::Icon icon = QMessageBox::Question);

// The row's slot still holds the event that was picked; otherwise "This is not a valid
// event." is shown. Questions and notices run the event loop, so the lists may have been
// rebuilt (and the slot reused) since the row was picked.
bool rowStillValid(QWidget *parent, const CommandRow &row);

enum class RowCheck { Go, Skip, Stop };
// What a command does with a row that names no event (or no longer its event).
enum class InvalidRow { Skip, Stop };

// The per-row checks before a command acts on a row: a row key; the slot still holding
// the picked event ("This is not a valid event." otherwise, except that an empty key is
// skipped silently); the user's right on the row's head end (a refusal stops); a link to
// the head end that can take the command (a row of a lost head end is skipped, and named
// in the command's box).
RowCheck checkRow(QWidget *parent, const CommandRow &row, InvalidRow onInvalid);

} // namespace vek
