#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/eventrec.h"
#include "eventchecks.h"

class QWidget;

namespace vek {

// Longest as-run comment the operator may type; a quick comment may be longer.
constexpr int AsRunCommentLimit = 50;

// Whether an as-run event can still take a comment, and who is shown as its operator:
// a record that carries a comment is read-only and names the user the server stored
// with it (ExtraCode2, 1..12; any other number names nobody). A record without one names
// the logged-in user.
struct AsRunState
{
    bool readOnly = false;
    QString operatorName;
};
AsRunState asRunState(const EventRec &record);

// The quick comments that are set, in their order.
QList<QByteArray> quickComments();

// OK of the As Run dialog: the checks, then the comment (TAB, CR and LF as blanks,
// trimmed; empty is allowed) written into the event's record and the record sent. True
// when sent.
bool submitAsRun(const QString &comment, const EventRef &event, QWidget *parent);

} // namespace vek
