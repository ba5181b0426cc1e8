#pragma once

#include <QByteArray>

namespace vek {

// The stored time offset: a sign and "hh:mm:ss", 9 characters.

// The sign shown for a stored offset: its first character when that is "+" or "-",
// else "+".
QByteArray offsetSign(const QByteArray &stored);
// The time part shown for a stored offset: characters 2..9 of exactly 9, else "".
QByteArray offsetTime(const QByteArray &stored);
// The offset to store from the sign and the time box as shown ("1_:3_:__"): every
// position that is not a digit counts as "0", so it is always sign + hh:mm:ss and the
// clock is never left unset by a half-typed box.
QByteArray offsetToStore(const QByteArray &sign, const QByteArray &shown);

} // namespace vek
