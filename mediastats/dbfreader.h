#pragma once

#include <QByteArrayView>

#include "msrowtable.h"

namespace vek {

// Reads a DBF file's bytes into the table (emptied first): one row per record that is
// not marked deleted, fields taken by position 0..12 whatever their names. Throws a
// Failure on a table that does not hold together, a field type it cannot read, a number
// that is not a 16-bit integer or more rows than the table takes.
void readDbf(QByteArrayView bytes, MSRowTable &rows);

} // namespace vek
