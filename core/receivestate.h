#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vek {

constexpr int ViewCount = 8;
constexpr int MaxRouterLevel = 8;
constexpr int MaxTmxUnit = 16;
constexpr int DashBoardSlots = 16;

// Threshold N of status 5 ("less than N minutes to air"): 30 at start, then the value
// the Hardware Server's minutes message sends.
qint16 &LessThanMinutes();

// GridDirty(view, head end): view 1..8 must rebuild the lists of that head end; head end
// 0 asks the view to refresh its menus (a login or logout).
bool &GridDirty(int view, int headEnd);

// A head end's events changed and its refresh waits for the 1 s timer (head end 0..12).
bool &UpdatePending(int headEnd);
// Seconds since midnight of the last immediate refresh.
double &LastGridUpdate();
// The dashboard counts of a head end are to be asked for (0..16).
bool &DashPending(int headEnd);

// Alarm state: the last alarm text (repeat suppression), the text shown, beep on/off.
QByteArray &LastAlarm();
QByteArray &AlarmText();
bool &AlarmFlag();

// Number of the last channel record a head end sent.
qint16 &LastBlock(int headEnd);
// The head end and router level or TMX unit a status routine evaluates.
qint16 &UpdateHE();
qint16 &UpdateUnit();
// A status text never grows past this: two characters for each output a 16-bit output
// number can name. A peer that sends more parts cannot make the console hold more.
constexpr qsizetype MaxStatusText = 65536;
// Router status texts (head end 0..12, level 0..8) and TMX status texts (unit 0..16).
// An index out of range is a subscript-out-of-range Failure.
QByteArray &RTRBuffer(int headEnd, int level);
QByteArray &TMXBuffer(int headEnd, int unit);
// The form a router status text is held in: one character per output (message 115), two
// (the five extended parts, complete), part of an extended chain, or none (nothing yet, or
// parts that did not follow a first part). Only Plain and Extended tell an input.
enum class StatusForm : quint8 { None, Plain, Partial, Extended };
StatusForm &RTRForm(int headEnd, int level);
// Each head end's zone-clock index (0..11), as its server sent it.
qint16 &HETimeZone(int headEnd);

// The ten dashboard counters of one head end.
struct DashBoardRec
{
    qint32 Total = 0;
    qint32 Upcoming = 0;
    qint32 OnAir = 0;
    qint32 LessThan = 0;
    qint32 OnHold = 0;
    qint32 Interrupted = 0;
    qint32 Completed = 0;
    qint32 Completed2 = 0;
    qint32 Problem = 0;
    qint32 Spare = 0;

    bool operator==(const DashBoardRec &) const = default;
};
// Counts of all events (0..16) and of today's events.
DashBoardRec &DashBoardAll(int headEnd);
DashBoardRec &DashBoardToday(int headEnd);

} // namespace vek
