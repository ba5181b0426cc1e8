#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "benchregistry.h"
#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "mediastats/mediastatsimport.h"

// A 30,000-row CSV read, converted and queued for three head ends of 255 channels each,
// and the CSV reader alone against a bare read of the same file split into lines and
// fields.
namespace {

constexpr int Rows = 30000;
constexpr int Channels = 255;

QByteArray name(int ch)
{
    return "CHANNEL" + QByteArray::number(ch).rightJustified(3, '0');
}

// Rows 1..10000 for head end 3, then 10,000 each for head ends 2 and 1: so no row's key
// reads back like another's.
QByteArray csvFile()
{
    QByteArray out =
        "Type,Date,X,Start,End,Desc,MonB,MonE,N,Comm,SNo,Src,DNo,Dest,CO,X2,ID,Act\r\n";
    out.reserve(Rows * 140);
    for (int r = 1; r <= Rows; ++r) {
        const int he = 3 - (r - 1) / 10000;
        const int minute = r % 1440;
        const QByteArray start = QByteArray::number(minute / 60) + ':' +
                                 QByteArray::number(minute % 60).rightJustified(2, '0');
        out += "1,12/10/2030,x," + start + ',' + start + ":30,Program number " +
               QByteArray::number(r) + ",,,n,comment," + "0," + name(1 + r % Channels) + ",0," +
               name(1 + (r * 7) % Channels) + ",CO" + QByteArray::number(he) + ",x2,MP" +
               QByteArray::number(r) + ",\r\n";
    }
    return out;
}

void setUp()
{
    using namespace vek;
    resetConsoleState();
    for (int he = 1; he <= 3; ++he) {
        settings().HEMediaStatsCO[size_t(he)] = "CO" + QByteArray::number(he);
        settings().HEName[size_t(he)] = "HeadEnd" + QByteArray::number(he);
        HETimeZone(he) = 4;
        for (int ch = 1; ch <= Channels; ++ch) {
            ChannelEntry &c = Channel(he, ch);
            c.ChanName = name(ch);
            c.ChanNum = qint16(ch);
            c.ChanLevel = 1;
            c.SrcName = name(ch) + " source";
            c.ChanDesc = name(ch) + " output";
        }
    }
    for (QDateTime &z : ZoneTimes())
        z = QDateTime(QDate(2030, 12, 1), QTime(12, 0), Qt::UTC);
}

double bestOf(int runs, const std::function<void()> &fn)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void run()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.csv"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(csvFile());
    }
    setUp();

    // The figure an operator waits for: the first import, queue empty.
    QElapsedTimer t;
    t.start();
    vek::MediaStatsImport run;
    run.readFile(path);
    run.convertRows(vek::allHeadEnds());
    const double importMs = t.nsecsElapsed() / 1e6;
    int queued = 0;
    for (int he = 1; he <= 3; ++he)
        queued += vek::winQueueSize(he);
    if (queued != Rows)
        std::printf("mediastats_import_30k_queued_wrong %d\n", queued);
    vekbench::figure("mediastats_import_30k_ms", importMs);

    const double reader = bestOf(5, [&] {
        vek::MediaStatsImport r;
        r.readFile(path);
    });
    const double bare = bestOf(5, [&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        qsizetype fields = 0;
        for (const QByteArray &line : f.readAll().split('\n'))
            fields += line.split(',').size();
        if (fields == 0)
            std::printf("nothing split\n");
    });
    vekbench::figure("mediastats_read_ms", reader);
    vekbench::figure("mediastats_bare_split_ms", bare);
    vekbench::figure("mediastats_read_ratio", reader / bare);
    setUp();
}

} // namespace

VEK_BENCH(mediastats, run)
