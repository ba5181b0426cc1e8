#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>

namespace vek {

class Failure;

// Appends one line (short date, time, text) to the daily log yyyymmdd.ENG in the data
// folder. The file is opened and closed for every line; a line is written whole or not at
// all, and one that cannot be written goes to standard error with the system's cause, so
// it is never lost silently. Control bytes of the text (below 32, and 127) are written as
// "<n>", so one entry is always one line whatever text from outside it holds.
void WriteLog(const QByteArray &text);

// For lines an outside peer can repeat at will: at most one line of a kind per minute.
// The next line of the kind after a quiet minute says how many were left out. A clock
// set back starts a new minute.
void WriteLogLimited(const QByteArray &kind, const QByteArray &text);
// The limit alone, for a line that keeps its own count of what it stands for: true, and
// the kind's minute starts, when a line of the kind may be written now.
bool logLimitAllows(const QByteArray &kind);

// Fuzzers and tests that only need the text take the lines here instead of the file
// (an empty function: back to the file).
using LogSink = std::function<void(const QByteArray &text)>;
void setLogSink(LogSink sink);

// The error handler's line: label, the error number with its leading blank, a blank and
// the description ("Error timeUPDATE_Timer) 6 Overflow").
void logError(const QByteArray &label, const Failure &failure);

// The error handler's line under the per-kind limit, for errors a peer can repeat.
void logErrorLimited(const QByteArray &kind, const QByteArray &label, const Failure &failure);

// A file that could not be written: the error handler's line for a path or file access
// error, followed by the file's name and the cause the system gave.
void logWriteFailure(const QByteArray &label, const QString &path, const QString &cause);

// The log file of a day.
QString dailyLogPath(const QDate &day);

} // namespace vek
