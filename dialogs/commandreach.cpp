#include "commandreach.h"

#include <QMessageBox>

#include "core/sendpath.h"
#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"

namespace vek {

namespace {

struct Pending
{
    int depth = 0;
    QList<int> notReached;
};

Pending &pending()
{
    static Pending p;
    return p;
}

void showNotSent(QWidget *parent, const QList<int> &headEnds)
{
    QByteArray names;
    for (qsizetype i = 0; i < headEnds.size(); ++i) {
        if (i > 0)
            names += i + 1 == headEnds.size() ? " and " : ", ";
        names += settings().HEName[size_t(headEnds[i])];
    }
    const QByteArray text = "The command was not sent to " + names +
                            ": the link to its Hardware Server is down or the server does not "
                            "answer.";
    DialogSeam::message(parent, QMessageBox::Critical, QStringLiteral("Command Not Sent"),
                        fromBytes(text));
}

} // namespace

bool commandReaches(int headEnd, QWidget *parent)
{
    if (!HeadEndLost(headEnd))
        return true;
    Pending &p = pending();
    if (p.depth == 0)
        showNotSent(parent, {headEnd});
    else if (!p.notReached.contains(headEnd))
        p.notReached.append(headEnd);
    return false;
}

CommandReachScope::CommandReachScope(QWidget *parent)
    : m_parent(parent), m_outermost(pending().depth == 0)
{
    ++pending().depth;
}

CommandReachScope::~CommandReachScope()
{
    Pending &p = pending();
    --p.depth;
    if (!m_outermost || p.notReached.isEmpty())
        return;
    const QList<int> heads = std::exchange(p.notReached, {});
    showNotSent(m_parent, heads);
}

} // namespace vek
