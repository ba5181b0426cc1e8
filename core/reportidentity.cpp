#include "reportidentity.h"

#include <QtGlobal>

namespace vek {

QByteArray reportUserName()
{
    QByteArray name = qgetenv("USERNAME");
    if (name.isEmpty())
        name = qgetenv("USER");
    if (name.isEmpty())
        name = qgetenv("LOGNAME");
    return name;
}

QByteArray reportUserDomain()
{
    return qgetenv("USERDOMAIN");
}

} // namespace vek
