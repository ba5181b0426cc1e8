#include "serverstatustext.h"

#include "core/hssocket.h"
#include "core/linkactivity.h"
#include "core/sendpath.h"
#include "core/settings.h"

namespace vek {

QString serverStatusText(int headEnd, const QDateTime &now)
{
    if (!validHeadEnd(headEnd))
        return {};
    if (!settings().HEOnLine[size_t(headEnd)])
        return QStringLiteral("Off line");
    const HsSocket *socket = hsSocket(headEnd);
    if (!socket || !socket->isConnected())
        return QStringLiteral("Not connected");
    const QDateTime last = lastArrival(headEnd);
    QString text = last.isValid() ? QStringLiteral("Connected, last answer %1 s ago")
                                        .arg(qMax<qint64>(0, last.secsTo(now)))
                                  : QStringLiteral("Connected, no answer yet");
    if (TroubleShown(headEnd))
        text += QStringLiteral(", communication problem shown");
    return text;
}

} // namespace vek
