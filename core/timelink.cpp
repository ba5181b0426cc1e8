#include "timelink.h"

namespace vek {

TimeLink::TimeLink(QObject *parent) : QObject(parent) {}
void TimeLink::configure() {}
void TimeLink::bind() {}
void TimeLink::tick() {}

} // namespace vek
