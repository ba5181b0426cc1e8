#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <unistd.h>

#include "core/log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
// What the code writes to standard error while the object lives.
class CapturedStderr
{
public:
    CapturedStderr()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~CapturedStderr() { restore(); }
    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};
} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void linesGoToTheFileOfTheirDay()
    {
        TestHome home;
        ManualClock clock(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)));
        ScopedClock scope(clock);
        WriteLog("Program Started");
        clock.advanceMs(1000);
        WriteLog("after midnight");
        logError("Error timeUPDATE_Timer)", Failure(ErrorKind::Overflow));

        const QByteArray first = home.read(QStringLiteral("20261208.ENG"));
        const QByteArray second = home.read(QStringLiteral("20261209.ENG"));
        QVERIFY(first.endsWith(" 23:59:59 Program Started\r\n"));
        QCOMPARE(first.count('\n'), 1);
        QVERIFY(first.startsWith(
            QLocale::system().toString(QDate(2026, 12, 8), QLocale::ShortFormat).toLatin1() + ' '));
        QVERIFY(second.contains(" 00:00:00 after midnight\r\n"));
        QVERIFY(second.endsWith(" 00:00:00 Error timeUPDATE_Timer) 6 Overflow\r\n"));
    }

    void anUnwritableLogGoesToStandardErrorWithItsCause()
    {
        CapturedStderr err;
        {
            KeepDataFolder keep;
            qputenv("VEK_HOME", "/nonexistent/folder");
            WriteLog("not lost");
        }
        const QByteArray text = err.text();
        QVERIFY2(text.contains("cannot write /nonexistent/folder/"), text.constData());
        QVERIFY2(text.contains("No such file or directory"), text.constData());
        QVERIFY(text.endsWith(" not lost\n"));
    }

    void aLineIsWrittenWholeOrNotAtAll()
    {
        TestHome home;
        // Long enough that the limit leaves room for what goes to standard error.
        WriteLog("first " + QByteArray(600, 'x'));
        const QByteArray before = home.readLog();
        QByteArray stderrText;
        {
            // Room for part of the next line only, as on a disk that fills up.
            FileSizeLimit limit(rlim_t(before.size() + 10));
            CapturedStderr err;
            WriteLog("a line much longer than the room that is left");
            stderrText = err.text();
        }
        QCOMPARE(home.readLog(), before);
        QVERIFY2(stderrText.contains("(File too large): "), stderrText.constData());
        QVERIFY(stderrText.endsWith(" a line much longer than the room that is left\n"));
        WriteLog("next");
        const QByteArray after = home.readLog();
        QCOMPARE(after.count("\r\n"), 2);
        QVERIFY(after.endsWith(" next\r\n"));
    }

    void aSinkTakesTheLinesInsteadOfTheFile()
    {
        TestHome home;
        QList<QByteArray> lines;
        setLogSink([&](const QByteArray &t) { lines.append(t); });
        WriteLog("caught");
        setLogSink({});
        WriteLog("filed");
        QCOMPARE(lines, QList<QByteArray>{"caught"});
        QVERIFY(home.readLog().contains(" filed\r\n"));
        QVERIFY(!home.readLog().contains("caught"));
    }
};

VEK_TEST(TestLog)
#include "tst_log.moc"
