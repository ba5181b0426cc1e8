#pragma once

#include <QByteArray>

namespace vek {

// Who cleared an alarm, as the alarm-cleared reports name it: the environment variables
// USERNAME and USERDOMAIN. Linux sets no USERNAME, so the process's login name stands in
// for it; an unset USERDOMAIN is "".
QByteArray reportUserName();
QByteArray reportUserDomain();

} // namespace vek
