#pragma once

#include <QByteArray>

namespace vek {

// Every 16-character event key the console creates (added, interrupted-copy and imported
// events): the time stamp yymmddhhnnss of now followed by a 4-digit suffix that is raised
// whenever that stamp was already used in this run, so no two events share a key.
QByteArray NewEventKey();

// Forgets the stamps used so far (tests).
void resetEventKeys();

} // namespace vek
