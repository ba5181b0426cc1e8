#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mediastats/watchedfolder.h"
#include "msfixture.h"
#include "samples.h"
#include "testregistry.h"

using namespace vek;
using namespace samples;

namespace {

// Writes a file of the watched folder and dates its last change.
void drop(MsFixture &f, const QString &name, const QByteArray &bytes, const QDateTime &changed)
{
    const QString path = f.write(name, bytes);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(changed, QFileDevice::FileModificationTime));
}

// A file of the folder by the raw bytes of its name, last changed a minute ago.
QByteArray dropRaw(MsFixture &f, const QByteArray &name, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(f.home.path(QString())) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    [&] {
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }();
    ::close(fd);
    const timespec old[2] = {{0, UTIME_OMIT}, {f.clock.now().addSecs(-60).toSecsSinceEpoch(), 0}};
    ::utimensat(AT_FDCWD, path.constData(), old, 0);
    return path;
}

QByteArray csvOf(const QByteArray &description)
{
    CsvRow r;
    r.description = description;
    return csvFile({r.line()});
}

// The fixture with every format watched and head ends 1 to 3 on line, their links up.
void watchAll(MsFixture &f)
{
    Settings &s = settings();
    s.AutoLoadVEK = s.AutoLoadDBF = s.AutoLoadCSV = s.AutoLoadVE2 = true;
    for (int he = 1; he <= 3; ++he) {
        s.HEOnLine[size_t(he)] = true;
        f.linkUp(he);
    }
}

QList<QByteArray> descriptions(int he)
{
    QList<QByteArray> out;
    for (const QByteArray &m : MsFixture::drain(he))
        out += m.split('\t').value(8);
    return out;
}

} // namespace

class TestWatchedFolder : public QObject
{
    Q_OBJECT
private slots:
    void aFileLoadsOnceItHasSettledAndIsDeleted()
    {
        MsFixture f;
        watchAll(f);
        WatchedFolder folder;
        // Already there, unchanged since before the watch began: the first tick loads it.
        drop(f, "early.csv", csvOf("Early"), f.clock.now().addSecs(-30));
        f.clock.advanceMs(60000);
        QVERIFY(folder.tick());
        QCOMPARE(descriptions(1), QList<QByteArray>({"Early"}));
        QVERIFY(!QFile::exists(f.home.path("early.csv")));

        // Dropped since the last tick: seen once, loaded at the next tick.
        drop(f, "late.csv", csvOf("Late"), f.clock.now().addSecs(5));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        QVERIFY(descriptions(1).isEmpty());
        f.clock.advanceMs(10000);
        QVERIFY(folder.tick());
        QCOMPARE(descriptions(1), QList<QByteArray>({"Late"}));
    }

    void aFileThatGrowsWaitsUntilItStops()
    {
        MsFixture f;
        watchAll(f);
        WatchedFolder folder;
        CsvRow r;
        const QByteArray whole = csvFile({r.line(), r.line()});
        drop(f, "copy.csv", whole.left(whole.size() / 2), f.clock.now().addSecs(1));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        drop(f, "copy.csv", whole, f.clock.now().addSecs(3));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick()); // changed since the last tick
        // Unchanged now, but changed a second ago by the clock: still not settled.
        drop(f, "copy.csv", whole, f.clock.now().addSecs(9));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        f.clock.advanceMs(10000);
        QVERIFY(folder.tick());
        QCOMPARE(MsFixture::drain(1).size(), 2);
    }

    void oneFilePerFormatInTheirOrderAndFailuresLoggedOnce()
    {
        MsFixture f;
        watchAll(f);
        const QDateTime old = f.clock.now().addSecs(-60);
        drop(f, "a.CSV", csvOf("A"), old);
        drop(f, "b.csv", csvOf("B"), old);
        drop(f, "c.ve2", csvOf("C"), old);
        drop(f, "bad.dbf", QByteArray(20, 'x'), old);
        drop(f, "z.vek", vekRow("05/03/2024", "12:30", "13:00", "V", "SUB1", "ESPN", "1000", 139),
             old);
        WatchedFolder folder;
        f.clock.advanceMs(60000);
        QVERIFY(folder.tick());
        // VEK first, the bad table stays, then one CSV and one VE2.
        QCOMPARE(descriptions(1), QList<QByteArray>({"V", "A", "C"}));
        QVERIFY(QFile::exists(f.home.path("bad.dbf")));
        QVERIFY(QFile::exists(f.home.path("b.csv")));
        f.clock.advanceMs(60000);
        QVERIFY(folder.tick());
        QCOMPARE(descriptions(1), QList<QByteArray>({"B"}));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        QCOMPARE(f.home.readLog().count("MediaStats Auto Load bad.dbf not loaded: Error 321 "
                                        "Invalid file format"),
                 1);
        // Changed, it is news again.
        drop(f, "bad.dbf", QByteArray(21, 'x'), f.clock.now().addSecs(-60));
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        QCOMPARE(f.home.readLog().count("bad.dbf not loaded"), 2);
    }

    void aFileThatCannotBeDeletedIsImportedOnce()
    {
        MsFixture f;
        watchAll(f);
        WatchedFolder folder;
        folder.setRemover([](const QByteArray &) { return false; });
        drop(f, "kept.csv", csvOf("Kept"), f.clock.now().addSecs(-60));
        for (int i = 0; i < 5; ++i) {
            f.clock.advanceMs(10000);
            QCOMPARE(folder.tick(), i == 0);
        }
        QCOMPARE(descriptions(1), QList<QByteArray>({"Kept"}));
        QCOMPARE(f.home.readLog().count("kept.csv loaded but could not be deleted"), 1);
    }

    void namesInAnyEncodingLoadAndAnUnlistableFolderIsLoggedOnce()
    {
        MsFixture f;
        watchAll(f);
        WatchedFolder folder;
        // A Latin-1 name, as a Windows share gives it: reached, loaded, deleted.
        const QByteArray latin = dropRaw(f, "caf\xe9 latin.csv", csvOf("Latin"));
        dropRaw(f,
                "b\xe9"
                "d.dbf",
                QByteArray(20, 'x'));
        dropRaw(f, "a\r\n9 Dec 2026 22:00:00 New User:Admin\r\nb.dbf", QByteArray(20, 'x'));
        f.clock.advanceMs(60000);
        QVERIFY(folder.tick());
        QCOMPARE(descriptions(1), QList<QByteArray>({"Latin"}));
        QVERIFY(::access(latin.constData(), F_OK) != 0);
        // The name's line breaks are no line breaks of the log.
        QCOMPARE(f.home.readLog().count('\n'), 2);
        QVERIFY(f.home.readLog().contains(
            "Auto Load a<13><10>9 Dec 2026 22:00:00 New User:Admin<13><10>b.dbf not loaded"));
        QVERIFY(f.home.readLog().contains("MediaStats Auto Load b\xe9"
                                          "d.dbf not loaded"));

        const QByteArray kept = settings().AutoLoadPath;
        settings().AutoLoadPath = kept + "/gone";
        for (int i = 0; i < 3; ++i) {
            f.clock.advanceMs(10000);
            QVERIFY(!folder.tick());
        }
        QVERIFY(QDir(f.home.path(QString())).mkdir(QStringLiteral("gone")));
        f.clock.advanceMs(10000);
        folder.tick();
        f.clock.advanceMs(10000);
        folder.tick();
        const QByteArray log = f.home.readLog();
        QCOMPARE(log.count("MediaStats Auto Load cannot list the folder "), 1);
        QVERIFY(log.contains("gone/ (No such file or directory)\r\n"));
        QCOMPARE(log.count("MediaStats Auto Load can list the folder "), 1);
        QVERIFY(log.contains("gone/ again\r\n"));
    }

    void noFolderNoFlagsAndOffLineHeadEndsLoadNothing()
    {
        MsFixture f;
        watchAll(f);
        settings().HEOnLine[3] = false;
        const QDateTime old = f.clock.now().addSecs(-60);
        CsvRow r;
        r.co = "2000";
        drop(f, "two.csv", csvFile({r.line()}), old);
        WatchedFolder folder;
        settings().AutoLoadCSV = false;
        f.clock.advanceMs(10000);
        QVERIFY(!folder.tick());
        settings().AutoLoadCSV = true;
        // An empty path is no folder, not the working directory.
        settings().AutoLoadPath = "  ";
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.home.path(QString())));
        f.clock.advanceMs(10000);
        const bool loaded = folder.tick();
        QDir::setCurrent(cwd);
        QVERIFY(!loaded);
        QVERIFY(QFile::exists(f.home.path("two.csv")));

        settings().AutoLoadPath = f.home.path(QString()).toLatin1();
        f.clock.advanceMs(10000);
        QVERIFY(folder.tick());
        QCOMPARE(MsFixture::drain(2).size(), 1);
        QVERIFY(MsFixture::drain(3).isEmpty());
    }
};

VEK_TEST(TestWatchedFolder)
#include "tst_watchedfolder.moc"
