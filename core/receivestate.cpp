#include "receivestate.h"

namespace vek {

qint16 &LessThanMinutes()
{
    static qint16 minutes = 30;
    return minutes;
}

} // namespace vek
