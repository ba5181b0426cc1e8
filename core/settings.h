#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>

#include "platform/atomicfile.h"

namespace vek {

constexpr int MaxHeadEnds = 12;
// A head end's number, 1 to MaxHeadEnds.
constexpr bool validHeadEnd(int headEnd)
{
    return headEnd >= 1 && headEnd <= MaxHeadEnds;
}

constexpr int MaxViews = 8;
constexpr int MaxGroups = 24;

// Every setting of VEK.INI. Arrays are indexed as the file numbers them; index 0 is
// not used.
struct Settings
{
    template <typename T> using PerHeadEnd = std::array<T, MaxHeadEnds + 1>;

    PerHeadEnd<QByteArray> HEName;
    PerHeadEnd<QByteArray> HEShortName;
    PerHeadEnd<QByteArray> HEMainIP;
    PerHeadEnd<QByteArray> HEBackupIP;
    PerHeadEnd<QByteArray> HEPort;
    PerHeadEnd<qint16> HEListNo{};
    PerHeadEnd<qint16> HENic{};
    PerHeadEnd<qint16> HEChannels{};
    PerHeadEnd<QByteArray> HEMediaStatsCO;
    PerHeadEnd<qint16> HERetryMS{};
    PerHeadEnd<bool> HEOnLine{};
    PerHeadEnd<bool> HEAlarm{};

    // Colours as 0x00BBGGRR.
    std::array<qint32, 9> EventColors{};
    qint16 FontIndex = 0;

    bool UseQRNTime = false;
    QByteArray TimeServerIP;
    QByteArray TimeServerPort;
    qint16 TimeNic = 0;
    QByteArray TimeOffset;

    QByteArray BroadcastNic;
    QByteArray HouseNic;

    std::array<QByteArray, MaxViews + 1> ViewName;
    std::array<PerHeadEnd<bool>, MaxViews + 1> ShowHE{};
    std::array<QByteArray, MaxGroups + 1> AsRunComment;

    qint16 QCDevice = 0;
    qint16 QCDestination = 0;

    bool SignalTypeCheck = false;
    bool VCOGLock = false;
    bool GUIDUpdate = false;

    QByteArray AutoLoadPath;
    bool AutoLoadVEK = false;
    bool AutoLoadDBF = false;
    bool AutoLoadCSV = false;
    bool AutoLoadVE2 = false;
    // Imported rows with a monitor-beginning marker arrive on hold. Off by default, so a
    // file imports as its actions say.
    bool AutoVerify = false;

    std::array<bool, MaxGroups + 1> GroupEnabled{};
};

// The console's one settings record.
Settings &settings();

QString settingsFilePath();

// The View menus' entry of view 1..8: "View 3 (name)".
QByteArray viewMenuCaption(int view);

// Reads every key in file order. A colour that is not a number or an integer outside
// -32768..32767 throws a Failure at that key: keys before it keep their new values, keys
// after it keep what they held.
void LoadSettings();
// VEK.INI as start-up found it: why it is not saved over ("could not be read (Is a
// directory)", "holds a value that could not be read"), or "" when it read well. The
// file stays untouched until an administrator saves on purpose from a settings dialog.
QByteArray settingsFileProblem();
// Where LoadSettings stopped: the file, section, key and value that could not be read.
QByteArray settingsBadValue();

// Writes every key in file order into the existing file, keeping its other lines.
// The file is replaced as a whole; a failed write is logged and leaves it as it was, and
// when failure is given it says which file and why.
// While the file is held it writes nothing and says so (logged once).
bool SaveSettings(WriteFailure *failure = nullptr);
// A settings dialog's save: while the file is held, confirm(path, problem) is asked
// first; a no saves nothing and is no failure. A file that could not be read is replaced
// whole.
bool SaveSettingsOnPurpose(const std::function<bool(const QString &, const QByteArray &)> &confirm,
                           WriteFailure *failure);

} // namespace vek
