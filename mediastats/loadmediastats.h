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

// The watched folder AutoLoadPath as the file system's bytes, ending in "/"; "" when no
// folder is set (never the working directory).
QByteArray watchedFolderPath();

// Reads the file fileName (a bare name, the file system's bytes) from the watched folder
// AutoLoadPath, without old events, and converts its rows for the head ends of headEnds (all twelve
// unless told). Returns false when everything ran, true when an error stopped it (then error, when
// given, says which); nothing is converted then. withRows, when given, gets the head ends
// (of all twelve) whose C.O. number a row of the file carries.
bool LoadMediaStats(const QByteArray &fileName, MediaStatsError *error = nullptr,
                    const HeadEndSet &headEnds = allHeadEnds(), HeadEndSet *withRows = nullptr);

} // namespace vek
