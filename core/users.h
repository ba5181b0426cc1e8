#pragma once

#include <QString>
#include <array>

#include "platform/atomicfile.h"
#include "settings.h"

namespace vek {

constexpr int MaxUsers = 12;

// Privilege levels; 1 or less is none.
enum UserPrivilegeLevel : qint16 { PrivilegeNone = 1, PrivilegeOperator = 2, PrivilegeAdmin = 3 };

// The twelve user slots (index 0 unused) and the current user (0: nobody).
struct Users
{
    std::array<QString, MaxUsers + 1> UserName;
    std::array<QString, MaxUsers + 1> UserPass;
    std::array<qint16, MaxUsers + 1> UserPrivilege{};
    std::array<std::array<bool, MaxHeadEnds + 1>, MaxUsers + 1> UserHEAccess{};
    qint16 CurrentUser = 0;
};

Users &users();

// The privilege every rights check uses: operator and administrator as stored; any other
// stored value (a damaged or hand-edited file) is none, as the status bar shows it.
qint16 normalisedPrivilege(qint16 stored);
// The logged-in user's normalised privilege; none when nobody is logged in.
qint16 currentPrivilege();

QString usersFilePath();

// Reads USER.INI: the current format when its version is not 0, else the old comma
// format. The old reader throws a Failure for a missing or short file or a right that is
// not a truth value.
void LoadUsers();
void LoadUsersOld();
// Writes the whole table in the current format, replacing the file as a whole; a failed
// write is logged and leaves the old file as it was, and when failure is given it says
// which file and why.
bool SaveUsers(WriteFailure *failure = nullptr);

} // namespace vek
