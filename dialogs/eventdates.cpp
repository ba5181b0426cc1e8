#include "eventdates.h"

namespace vek {

QDate keyDate(qint64 key)
{
    const qint64 ymd = key / 100000;
    return QDate(static_cast<int>(ymd / 10000), static_cast<int>(ymd / 100 % 100),
                 static_cast<int>(ymd % 100));
}

} // namespace vek
