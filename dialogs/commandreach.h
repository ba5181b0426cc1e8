#pragma once

#include <QList>

class QWidget;

namespace vek {

// An operator's command for a head end whose link was lost, or whose server fell silent,
// cannot be queued: it is not sent, and the operator is told so in one message box per
// command, naming every head end it did not reach.

// True when a command can be queued for the head end. Otherwise false, and the head end
// is named in the box of the enclosing scope, or in a box of its own when none is open.
bool commandReaches(int headEnd, QWidget *parent = nullptr);

// While it lives, the head ends commandReaches refuses are gathered; at its end one box
// names them. Scopes nest: the outermost shows the box.
class CommandReachScope
{
public:
    explicit CommandReachScope(QWidget *parent = nullptr);
    ~CommandReachScope();
    CommandReachScope(const CommandReachScope &) = delete;
    CommandReachScope &operator=(const CommandReachScope &) = delete;

private:
    QWidget *m_parent;
    bool m_outermost;
};

} // namespace vek
