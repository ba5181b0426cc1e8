// The users file, both formats: any bytes load or fail cleanly, and once saved the table
// survives further saves and loads unchanged.

#include "core/consolestate.h"
#include "core/users.h"
#include "fuzzsupport.h"
#include "platform/failure.h"

namespace {
QByteArray saveAndRead()
{
    vekfuzz::require(vek::SaveUsers(), "the users file can be saved");
    QFile f(vek::usersFilePath());
    vekfuzz::require(f.open(QIODevice::ReadOnly), "the saved users file opens");
    return f.readAll();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    vek::resetConsoleState();
    vekfuzz::writeDataFile(vek::usersFilePath(), vekfuzz::bytes(data, size));
    try {
        vek::LoadUsers();
    } catch (const vek::Failure &) {
        return 0;
    }
    // The first save normalises (values longer than a profile read are cut, odd bytes
    // dropped); after it a load and a save must give the same file.
    saveAndRead();
    vek::resetConsoleState();
    vek::LoadUsers();
    const QByteArray second = saveAndRead();
    vek::resetConsoleState();
    vek::LoadUsers();
    vekfuzz::require(saveAndRead() == second, "a saved users file loads unchanged");
    return 0;
}
