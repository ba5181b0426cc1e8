#include <QTest>

#include "core/log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

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

    void anUnwritableLogIsIgnored()
    {
        qputenv("VEK_HOME", "/nonexistent/folder");
        WriteLog("lost"); // must neither throw nor crash
        qunsetenv("VEK_HOME");
    }
};

VEK_TEST(TestLog)
#include "tst_log.moc"
