#pragma once

#include <QByteArray>

namespace vek {

// Every 16-character event key the console creates (added, interrupted-copy and imported
// events): the time stamp yymmddhhnnss of now followed by a 4-digit suffix that is raised
// whenever that stamp was already used in this run, so no two events share a key.
QByteArray NewEventKey();

// The 12-digit stamp yymmddhhnnss of one media-stats import. The import owns the whole
// second: it appends its own suffixes, so no earlier import and no other key of this run
// has used that second, and no later key will (the next free second when now is taken).
QByteArray NewImportStamp();

} // namespace vek
