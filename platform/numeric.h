#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>
#include <cmath>
#include <limits>

#include "failure.h"

namespace vek {

// Leading numeric value of a text: leading blanks, an optional sign, digits and an
// optional fraction; reading stops at the first other character. No number gives 0.
double leadingValue(QByteArrayView text);
double leadingValue(QStringView text);

// Rounds to the nearest integer, halves to even, and checks the target type's range.
// Out of range (or not a number) is an overflow error, never a wrap.
template <typename T> T toInteger(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max())))
        throw Failure(ErrorKind::Overflow);
    return static_cast<T>(r);
}

inline qint16 toInt16(double value)
{
    return toInteger<qint16>(value);
}
inline qint32 toInt32(double value)
{
    return toInteger<qint32>(value);
}
inline quint8 toByte(double value)
{
    return toInteger<quint8>(value);
}

// Strict number: the whole text (blanks around it aside) must be a number, else a type
// mismatch. Used where a conversion of a text to a double must not guess.
double strictNumber(QByteArrayView text);

// Truth value of a text: "True"/"False" in any letter case, or a number (0 false, other
// true). Anything else is a type mismatch.
bool toBoolean(QByteArrayView text);

} // namespace vek
