#include "importchecks.h"

#include "core/users.h"
#include "platform/text.h"

namespace vek {

QByteArray importRefusal(const HeadEndSet &ticked)
{
    if (currentPrivilege() < PrivilegeOperator)
        return "The current user does not have the privileges to change information.";
    bool any = false;
    for (int he = 1; he <= MaxHeadEnds; ++he)
        any = any || ticked[size_t(he)];
    if (!any)
        return "There are no valid headends selected.";
    const int user = users().CurrentUser;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (ticked[size_t(he)] &&
            !(user >= 1 && user <= MaxUsers && users().UserHEAccess[user][he]))
            return "The current user does not have the privileges to change information on " +
                   settings().HEName[size_t(he)] + ".";
    }
    return "";
}

QByteArray importErrorText(int number, const QByteArray &description)
{
    // Two blanks after each full stop, as the operators know the message.
    return "Error! (" + description + ").  Error number = " + CStr(qint64(number)) +
           ".  Error Source = VEK";
}

} // namespace vek
