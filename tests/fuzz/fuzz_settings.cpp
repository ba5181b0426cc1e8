// The settings file: any bytes load or stop at a bad value cleanly (every log entry one
// line), and once saved the settings survive further saves and loads unchanged.

#include "core/consolestate.h"
#include "core/settings.h"
#include "fuzzsupport.h"
#include "platform/failure.h"

namespace {
QByteArray saveAndRead()
{
    // Saved on purpose: a file that could not be read is replaced only so.
    vekfuzz::require(vek::SaveSettingsOnPurpose(
                         [](const QString &, const QByteArray &) { return true; }, nullptr),
                     "the settings file can be saved");
    QFile f(vek::settingsFilePath());
    vekfuzz::require(f.open(QIODevice::ReadOnly), "the saved settings file opens");
    return f.readAll();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    vek::resetConsoleState();
    vekfuzz::writeDataFile(vek::settingsFilePath(), vekfuzz::bytes(data, size));
    try {
        vek::LoadSettings();
    } catch (const vek::Failure &) {
        // Keys before the bad one are loaded; the rest keep their defaults. The line that
        // names the value is one line whatever the value holds.
        vek::WriteLog(vek::settingsBadValue());
    }
    // Every key is written with the value it loaded with, so a second round is exact.
    const QByteArray first = saveAndRead();
    vek::resetConsoleState();
    vek::LoadSettings();
    vekfuzz::require(saveAndRead() == first, "saved settings load unchanged");
    return 0;
}
