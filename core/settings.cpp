#include "settings.h"
#include "moduleresets.h"

#include <QFile>
#include <functional>
#include <vector>

#include "inivalue.h"
#include "log.h"
#include "platform/atomicfile.h"
#include "platform/datafolder.h"
#include "platform/failure.h"
#include "platform/inidocument.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {

// A private address for every server and card that has not been configured; loopback,
// so a console without settings starts without network errors.
const QByteArray DefaultAddress = "127.0.0.1";

enum class Kind { Text, Integer, Flag, GroupFlag, Colour, FontSize };

// One key of the file bound to its variable. The table below is the file's key order
// for both reading and writing.
struct Binding
{
    QByteArray section;
    QByteArray key;
    Kind kind;
    QByteArray defaultText;
    void *target;
};

QByteArray num(int n)
{
    return QByteArray::number(n);
}

std::vector<Binding> bindings(Settings &s)
{
    std::vector<Binding> b;
    b.reserve(340);
    auto add = [&](QByteArray section, QByteArray key, Kind kind, QByteArray def, void *t) {
        b.push_back({std::move(section), std::move(key), kind, std::move(def), t});
    };
    for (int n = 1; n <= MaxHeadEnds; ++n) {
        const QByteArray sec = "HeadEnd_" + num(n) + "_Settings";
        add(sec, "Long_Name", Kind::Text, "HeadEnd" + num(n), &s.HEName[n]);
        add(sec, "Short_Name", Kind::Text, "HE" + num(n), &s.HEShortName[n]);
        add(sec, "IP_Address", Kind::Text, DefaultAddress, &s.HEMainIP[n]);
        add(sec, "IP_Address_Backup", Kind::Text, "", &s.HEBackupIP[n]);
        add(sec, "IP_Port", Kind::Text, "790", &s.HEPort[n]);
        add(sec, "List_Number", Kind::Integer, "1", &s.HEListNo[n]);
        add(sec, "Nic_Card", Kind::Integer, "1", &s.HENic[n]);
        add(sec, "Number_Of_Channels", Kind::Integer, "16", &s.HEChannels[n]);
        add(sec, "MediaStats_CO_Number", Kind::Text, "1000", &s.HEMediaStatsCO[n]);
        add(sec, "Retry_MS", Kind::Integer, "70", &s.HERetryMS[n]);
        add(sec, "HeadEnd_OnLine", Kind::Flag, "0", &s.HEOnLine[n]);
        add(sec, "Alarm_Enable", Kind::Flag, "1", &s.HEAlarm[n]);
    }
    static const char *const colours[8] = {"65408", "4227327", "32896",  "8388863",
                                           "255",   "128",     "366291", "16711680"};
    for (int n = 1; n <= 8; ++n)
        add("Color_Settings", "Color_" + num(n), Kind::Colour, colours[n - 1], &s.EventColors[n]);
    add("Channel_View", "Font", Kind::FontSize, "0", &s.FontIndex);
    add("Time_Settings", "Use_QRN_Time", Kind::Flag, "1", &s.UseQRNTime);
    add("Time_Settings", "IP_Address", Kind::Text, DefaultAddress, &s.TimeServerIP);
    add("Time_Settings", "IP_Port", Kind::Text, "1212", &s.TimeServerPort);
    add("Time_Settings", "Nic_Card", Kind::Integer, "1", &s.TimeNic);
    add("Time_Settings", "Time_Off_Set", Kind::Text, "+00:00:00", &s.TimeOffset);
    add("Nic_Card_Settings", "Broadcast_Nic", Kind::Text, DefaultAddress, &s.BroadcastNic);
    add("Nic_Card_Settings", "House_Nic", Kind::Text, DefaultAddress, &s.HouseNic);
    for (int n = 1; n <= MaxViews; ++n)
        add("Event_View_Settings", "Event_View_" + num(n), Kind::Text, "View " + num(n),
            &s.ViewName[n]);
    for (int v = 1; v <= MaxViews; ++v) {
        for (int h = 1; h <= MaxHeadEnds; ++h)
            add("Event_View_Settings", "View_" + num(v) + "_HeadEnd_" + num(h), Kind::Flag, "1",
                &s.ShowHE[v][h]);
    }
    for (int n = 1; n <= MaxGroups; ++n)
        add("Event_View_Settings", "As_Run_Comment_" + num(n), Kind::Text, "", &s.AsRunComment[n]);
    add("Quality_Control", "Device", Kind::Integer, "8", &s.QCDevice);
    add("Quality_Control", "Destination", Kind::Integer, "1", &s.QCDestination);
    add("General_Settings", "Signal_Type_Check", Kind::Flag, "0", &s.SignalTypeCheck);
    add("General_Settings", "Vosk_VCOG", Kind::Flag, "0", &s.VCOGLock);
    add("General_Settings", "GUID_Update", Kind::Flag, "0", &s.GUIDUpdate);
    // No folder unless one is set: "C:\\" names nothing here.
    add("MediaStats_Settings", "Auto_Load_Path", Kind::Text, "", &s.AutoLoadPath);
    add("MediaStats_Settings", "Auto_Load_VEK", Kind::Flag, "0", &s.AutoLoadVEK);
    add("MediaStats_Settings", "Auto_Load_DBF", Kind::Flag, "0", &s.AutoLoadDBF);
    add("MediaStats_Settings", "Auto_Load_CSV", Kind::Flag, "0", &s.AutoLoadCSV);
    add("MediaStats_Settings", "Auto_Load_VE2", Kind::Flag, "0", &s.AutoLoadVE2);
    add("MediaStats_Settings", "Auto_Verify", Kind::Flag, "0", &s.AutoVerify);
    for (int n = 1; n <= MaxGroups; ++n)
        add("General", "Group_Event_" + num(n) + "_Enabled", Kind::GroupFlag, "1",
            &s.GroupEnabled[n]);
    return b;
}

// Converts a value as read from the file into the binding's variable.
void assign(const Binding &b, const QByteArray &raw)
{
    const QByteArray v = trimBlanks(raw);
    switch (b.kind) {
    case Kind::Text:
        *static_cast<QByteArray *>(b.target) = v;
        break;
    case Kind::Integer:
        *static_cast<qint16 *>(b.target) = toInt16(leadingValue(v));
        break;
    case Kind::FontSize: {
        const qint16 font = toInt16(leadingValue(v));
        *static_cast<qint16 *>(b.target) = font > 3 ? qint16(3) : font;
        break;
    }
    case Kind::Flag:
        *static_cast<bool *>(b.target) = leadingValue(v) > 0;
        break;
    case Kind::GroupFlag:
        *static_cast<bool *>(b.target) = leadingValue(v) == 1;
        break;
    case Kind::Colour:
        *static_cast<qint32 *>(b.target) = toInt32(strictNumber(v));
        break;
    }
}

QByteArray valueText(const Binding &b)
{
    switch (b.kind) {
    case Kind::Text:
        return trimBlanks(*static_cast<const QByteArray *>(b.target));
    case Kind::Integer:
    case Kind::FontSize:
        return QByteArray::number(*static_cast<const qint16 *>(b.target));
    case Kind::Flag:
    case Kind::GroupFlag:
        return *static_cast<const bool *>(b.target) ? "1" : "0";
    case Kind::Colour:
        return QByteArray::number(*static_cast<const qint32 *>(b.target));
    }
    return {};
}

} // namespace

namespace {
// Why VEK.INI, as start-up found it, is not saved over; "" when it read well.
struct HeldFile
{
    QByteArray problem;
    QByteArray badValue;
    bool unreadable = false;
    bool refusalLogged = false;
};

HeldFile &held()
{
    static HeldFile h;
    return h;
}
} // namespace

Settings &settings()
{
    static Settings s = [] {
        Settings d;
        for (const Binding &b : bindings(d))
            assign(b, b.defaultText);
        return d;
    }();
    return s;
}

void resetSettings()
{
    held() = HeldFile();
    Settings &s = settings();
    for (const Binding &b : bindings(s))
        assign(b, b.defaultText);
}

QString settingsFilePath()
{
    return dataFilePath(QStringLiteral("VEK.INI"));
}

QByteArray viewMenuCaption(int view)
{
    const QByteArray name = view >= 1 && view <= MaxViews ? settings().ViewName[size_t(view)] : "";
    return "View" + Str(qint64(view)) + " (" + name + ")";
}

QByteArray settingsFileProblem()
{
    return held().problem;
}

QByteArray settingsBadValue()
{
    return held().badValue;
}

void LoadSettings()
{
    const QString path = settingsFilePath();
    IniDocument::ReadState state;
    QByteArray cause;
    const IniDocument doc = IniDocument::load(path, &state, &cause);
    held() = HeldFile();
    if (state == IniDocument::ReadState::Unreadable || state == IniDocument::ReadState::NotIni) {
        held().problem = "could not be read (" + cause + ")";
        held().unreadable = true;
        WriteLog("VEK.INI " + held().problem + ": " + QFile::encodeName(path) +
                 "; the console runs with default settings and does not save over the file");
    }
    for (const Binding &b : bindings(settings())) {
        const QByteArray value = readIniValue(doc, b.section, b.key, b.defaultText);
        try {
            assign(b, value);
        } catch (const Failure &) {
            held().badValue = "VEK.INI: section " + b.section + ", key " + b.key + ", value \"" +
                              value + "\" cannot be read";
            held().problem = "holds a value that could not be read";
            throw;
        }
    }
}

bool SaveSettingsOnPurpose(const std::function<bool(const QString &, const QByteArray &)> &confirm,
                           WriteFailure *failure)
{
    if (!held().problem.isEmpty()) {
        if (!confirm(settingsFilePath(), held().problem))
            return true;
        held().problem.clear();
    }
    return SaveSettings(failure);
}

bool SaveSettings(WriteFailure *failure)
{
    const QString path = settingsFilePath();
    if (!held().problem.isEmpty()) {
        // Defaults would replace what the administrator wrote and start-up could not read.
        if (!held().refusalLogged)
            WriteLog("VEK.INI not saved: it " + held().problem +
                     " at start-up; a settings dialog's save replaces it after asking");
        held().refusalLogged = true;
        if (failure)
            *failure = WriteFailure{
                path, fromBytes("the file " + held().problem + " when the console started")};
        return false;
    }
    // A file that could not be read is replaced whole, not merged with what it held.
    IniDocument doc = held().unreadable ? IniDocument() : IniDocument::load(path);
    held().unreadable = false;
    for (const Binding &b : bindings(settings()))
        writeIniValue(doc, b.section, b.key, valueText(b));
    QString error;
    if (!writeFileAtomically(path, doc.toBytes(), &error)) {
        // The old file stays as it was.
        logWriteFailure("Error SaveSettings)", path, error);
        if (failure)
            *failure = WriteFailure{path, error};
        return false;
    }
    return true;
}

} // namespace vek
