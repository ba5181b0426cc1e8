#include "hslink.h"

namespace vek {

HsLink::HsLink(ConsoleUi *ui, QObject *parent) : QObject(parent), m_ui(ui) {}
HsLink::~HsLink() = default;

void HsLink::setRetryIntervals() {}
void HsLink::connectHeadEnds(bool) {}
void HsLink::start() {}

QString HsLink::localAddress(int) const
{
    return QString();
}

void SendHS(int, const QByteArray &, int) {}
void WINADD(const QByteArray &, int) {}

} // namespace vek
