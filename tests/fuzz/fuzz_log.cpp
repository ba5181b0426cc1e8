// The daily log: whatever bytes a line's text holds, as the text itself or as the file
// name of a failed write, each entry reaches the file as one line.

#include "fuzzsupport.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    vek::setLogSink({});
    const QByteArray in = vekfuzz::bytes(data, size);
    const QString path = vek::dailyLogPath(vek::Clock::localNow().date());
    QFile::remove(path);
    vek::WriteLog(in);
    vek::logWriteFailure("Error SaveSettings)", QString::fromLatin1(in), QString::fromLatin1(in));
    // A kind of its own each run: the standing clock would keep a repeated kind quiet.
    static qint64 runs = 0;
    vek::WriteLogLimited(in + QByteArray::number(++runs), in);

    QFile f(path);
    vekfuzz::require(f.open(QIODevice::ReadOnly), "the log file opens");
    const QByteArray written = f.readAll();
    vekfuzz::require(written.endsWith("\r\n"), "the last entry ends its line");
    const QList<QByteArray> lines = written.chopped(2).split('\n');
    vekfuzz::require(lines.size() == 3, "three entries are three lines");
    for (const QByteArray &line : lines)
        vekfuzz::requireOneLine(line.endsWith('\r') ? line.chopped(1) : line);
    return 0;
}
