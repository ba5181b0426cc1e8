#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "timeserversim.h"

// vek-timesim: a stand-in time server for the console on a bench or in a demo.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vek-timesim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Answers the console's time request (byte 14) with \"r\" and hh:mm:ss."));
    parser.addHelpOption();
    const QCommandLineOption address({QStringLiteral("a"), QStringLiteral("address")},
                                     QStringLiteral("Local address to listen on."),
                                     QStringLiteral("address"), QStringLiteral("0.0.0.0"));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("UDP port to listen on."), QStringLiteral("port"),
                                  QStringLiteral("1212"));
    const QCommandLineOption fixed(QStringLiteral("fixed"),
                                   QStringLiteral("Always answer this time of day."),
                                   QStringLiteral("hh:mm:ss"));
    const QCommandLineOption skew(QStringLiteral("skew"),
                                  QStringLiteral("Answer the current time plus these seconds."),
                                  QStringLiteral("seconds"));
    const QCommandLineOption raw(QStringLiteral("raw"),
                                 QStringLiteral("Answer this text verbatim (malformed answers)."),
                                 QStringLiteral("text"));
    parser.addOptions({address, port, fixed, skew, raw});
    parser.process(app);

    QTextStream err(stderr);
    vek::TimeServerSim server;
    if (parser.isSet(raw)) {
        server.answerRaw(parser.value(raw).toLatin1());
    } else if (parser.isSet(fixed)) {
        const QTime t = QTime::fromString(parser.value(fixed), QStringLiteral("HH:mm:ss"));
        if (!t.isValid()) {
            err << "vek-timesim: --fixed wants hh:mm:ss\n";
            return 2;
        }
        server.answerFixedTime(t);
    } else if (parser.isSet(skew)) {
        bool ok = false;
        const int seconds = parser.value(skew).toInt(&ok);
        if (!ok) {
            err << "vek-timesim: --skew wants a whole number of seconds\n";
            return 2;
        }
        server.answerSkewed(seconds);
    }

    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    const QHostAddress listenAddress(parser.value(address));
    if (!portOk || portNumber > 65535 || listenAddress.isNull()) {
        err << "vek-timesim: bad address or port\n";
        return 2;
    }
    if (!server.listen(listenAddress, static_cast<quint16>(portNumber))) {
        err << "vek-timesim: " << server.errorString() << '\n';
        return 1;
    }
    QObject::connect(&server, &vek::TimeServerSim::requestReceived,
                     [&](const QHostAddress &from, quint16 fromPort) {
                         QTextStream out(stdout);
                         out << "request from " << from.toString() << ':' << fromPort
                             << ", answered " << QString::fromLatin1(server.answer()) << Qt::endl;
                     });
    err << "vek-timesim listening on " << listenAddress.toString() << ':' << server.port()
        << Qt::endl;
    return app.exec();
}
