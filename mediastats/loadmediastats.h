#pragma once

#include <QByteArray>

#include "mediastatsimport.h"

namespace vek {

// Why an import stopped: the error's number and description.
struct MediaStatsError
{
    int number = 0;
    QByteArray description;
};

// Reads the file fileName (a bare name) from the watched folder AutoLoadPath, without old
// events, and converts its rows for the head ends of headEnds (all twelve unless told).
// Returns false when everything ran, true when an error stopped it (then error, when
// given, says which); nothing is converted then. withRows, when given, gets the head ends
// (of all twelve) whose C.O. number a row of the file carries.
bool LoadMediaStats(const QString &fileName, MediaStatsError *error = nullptr,
                    const HeadEndSet &headEnds = allHeadEnds(), HeadEndSet *withRows = nullptr);

} // namespace vek
