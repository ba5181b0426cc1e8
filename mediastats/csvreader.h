#pragma once

#include <QByteArrayView>

#include "msrowtable.h"

namespace vek {

// Reads a CSV or VE2 file's bytes into the table (emptied first): the first line is a
// header and skipped, as are empty lines, lines of fewer than 18 comma-separated fields
// and lines whose air date (month/day/year) is no date. Throws a Failure on a number out
// of range, a line past the cap, more rows than the table takes or a byte-order mark;
// the rows read until then stay.
void readCsv(QByteArrayView bytes, MSRowTable &rows);

} // namespace vek
