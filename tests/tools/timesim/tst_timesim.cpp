#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include "platform/clock.h"
#include "testregistry.h"
#include "tools/timesim/timeserversim.h"

using namespace vek;

namespace {
const QHostAddress Loopback(QStringLiteral("127.0.0.1"));
}

class TestTimeSim : public QObject
{
    Q_OBJECT

    // Sends one datagram to the server and returns the answer, or nothing within 300 ms.
    static QByteArray ask(TimeServerSim &server, const QByteArray &request)
    {
        QUdpSocket client;
        if (!client.bind(Loopback, 0))
            return "bind failed";
        client.writeDatagram(request, Loopback, server.port());
        for (int i = 0; i < 30 && !client.hasPendingDatagrams(); ++i)
            QTest::qWait(10);
        if (!client.hasPendingDatagrams())
            return {};
        return client.receiveDatagram().data();
    }

private slots:
    void answersTheRequestByteWithTheTime()
    {
        ManualClock clock(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 50)));
        ScopedClock scope(clock);
        TimeServerSim server;
        QVERIFY(server.listen(Loopback, 0));
        const QByteArray request(1, TimeServerSim::RequestByte);

        QCOMPARE(ask(server, request), QByteArray("r23:59:50"));
        server.answerSkewed(20); // wraps over midnight
        QCOMPARE(ask(server, request), QByteArray("r00:00:10"));
        server.answerSkewed(-3600);
        QCOMPARE(ask(server, request), QByteArray("r22:59:50"));
        server.answerFixedTime(QTime(1, 2, 3));
        clock.advanceMs(5000);
        QCOMPARE(ask(server, request), QByteArray("r01:02:03"));
        server.answerRaw("r1:02:03");
        QCOMPARE(ask(server, request), QByteArray("r1:02:03"));
        server.answerCurrentTime();
        QCOMPARE(ask(server, request), QByteArray("r23:59:55"));
        QCOMPARE(server.requests(), 6);
    }

    void otherDatagramsGetNoAnswer()
    {
        TimeServerSim server;
        QVERIFY(server.listen(Loopback, 0));
        QVERIFY(ask(server, "x").isEmpty());
        QVERIFY(ask(server, QByteArray(2, TimeServerSim::RequestByte)).isEmpty());
        QVERIFY(ask(server, QByteArray(1, 15)).isEmpty());
        QCOMPARE(server.requests(), 0);
        QCOMPARE(server.ignored(), 3);
    }

    void sendsUnasked()
    {
        TimeServerSim server;
        QVERIFY(server.listen(Loopback, 0));
        QUdpSocket client;
        QVERIFY(client.bind(Loopback, 0));
        server.answerRaw("garbage");
        QVERIFY(server.sendAnswer(Loopback, client.localPort()));
        QTRY_VERIFY(client.hasPendingDatagrams());
        const QNetworkDatagram d = client.receiveDatagram();
        QCOMPARE(d.data(), QByteArray("garbage"));
        QCOMPARE(d.senderPort(), int(server.port()));
    }
};

VEK_TEST(TestTimeSim)
#include "tst_timesim.moc"
