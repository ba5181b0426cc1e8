#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "core/tcphssocket.h"
#include "testregistry.h"

using namespace vek;

class TestTcpHsSocket : public QObject
{
    Q_OBJECT
private slots:
    // The socket reads and writes its descriptor itself: what a peer sends arrives whole and
    // in order, also past the read buffer; what the kernel does not take at once still goes
    // out; the causes of a lost connection are named.
    void bytesArriveWholeBothWaysAndLossesAreNamed()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 port = server.serverPort();

        TcpHsSocket socket;
        QByteArray received;
        int reads = 0;
        socket.setDataHandler([&](const QByteArray &data) {
            received += data;
            ++reads;
        });
        socket.connectToHost("127.0.0.1", port);
        QVERIFY(!socket.isConnected());
        QTRY_VERIFY(socket.isConnected() && server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QCOMPARE(socket.localAddress(), QStringLiteral("127.0.0.1"));

        const QByteArray poll = QByteArray("10\x01") + "1\n";
        QByteArray got;
        socket.send(poll);
        QTRY_COMPARE(got += peer->readAll(), poll);
        QByteArray big(200000, '\0');
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        peer->write(big);
        QTRY_COMPARE(received, big);
        QVERIFY(reads >= 1);

        // Far more than the kernel takes while the peer reads nothing.
        QByteArray many(8 * 1024 * 1024, 'x');
        socket.send(many);
        socket.send("end");
        got.clear();
        QTRY_VERIFY_WITH_TIMEOUT((got += peer->readAll()).size() == many.size() + 3, 20000);
        QVERIFY(got.endsWith("xend"));

        peer->close();
        QTRY_VERIFY(!socket.isConnected());
        QCOMPARE(socket.downCause(), QByteArray("closed by the peer"));
        QVERIFY(socket.downSince().isValid());

        server.close();
        socket.connectToHost("127.0.0.1", port);
        QCOMPARE(socket.downCause(), QByteArray());
        QTRY_COMPARE(socket.downCause(), QByteArray("connection refused"));
        QVERIFY(!socket.isConnected());
        QCOMPARE(socket.localAddress(), hostAddressFallback());
    }
};

VEK_TEST(TestTcpHsSocket)
#include "tst_tcphssocket.moc"
