#pragma once

#include <QByteArrayView>

#include "msrowtable.h"

namespace vek {

// Reads a VEK file's bytes (fixed columns, no header) into the table (emptied first):
// every line is a row, empty ones included. Lines of exactly 140 characters carry the
// second parts of the channel names, lines of exactly 150 also the seconds of the times.
// Throws a Failure as readCsv does.
void readVek(QByteArrayView bytes, MSRowTable &rows);

} // namespace vek
