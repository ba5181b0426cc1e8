#pragma once

#include <QByteArray>

#include "mediastatsimport.h"

namespace vek {

// Why the logged-in user may not import for the ticked head ends, in the order the import
// dialog checks: the privilege, a head end ticked at all, then the right on each ticked
// head end (the first one lacking). "" when nothing stands in the way.
QByteArray importRefusal(const HeadEndSet &ticked);

// The import dialog's text for an error that stopped a read or conversion.
QByteArray importErrorText(int number, const QByteArray &description);

} // namespace vek
