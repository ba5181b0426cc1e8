#pragma once

#include <QDate>

namespace vek {

// The date of a date-and-time key's first eight digits (yyyymmdd); invalid when they are
// no date.
QDate keyDate(qint64 key);

} // namespace vek
