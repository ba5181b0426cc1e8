#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <array>
#include <memory>

#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/consoleui.h"
#include "core/eventtable.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/log.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "testhome.h"

// A socket that records what is sent and lets a test play the server's answers.
class FakeHsSocket : public vek::HsSocket
{
public:
    void connectToHost(const QByteArray &h, quint16 p) override
    {
        host = h;
        port = p;
    }
    bool isConnected() const override { return connected; }
    void send(const QByteArray &data) override
    {
        sent.append(data);
        if (timer)
            times.append(timer->elapsed());
    }
    void close() override
    {
        closed = true;
        connected = false;
    }
    QString localAddress() const override { return address; }
    QByteArray downCause() const override { return cause; }
    QDateTime downSince() const override { return since; }
    void arrive(const QByteArray &data) { deliver(data); }

    QByteArray host;
    quint16 port = 0;
    bool connected = true;
    bool closed = false;
    QString address = QStringLiteral("10.20.30.40");
    QByteArray cause;
    QDateTime since;
    QList<QByteArray> sent;
    // When set, the time of each send is recorded.
    const QElapsedTimer *timer = nullptr;
    QList<qint64> times;
};

class RecordingUi : public vek::ConsoleUi
{
public:
    void showTroubleWindow(int headEnd) override { trouble.append(headEnd); }
    void showAlarmWindow(int headEnd, const QByteArray &text) override
    {
        alarms.append({headEnd, text});
    }
    void fillChanView(int headEnd) override { fills.append(headEnd); }

    QList<int> trouble;
    QList<QPair<int, QByteArray>> alarms;
    QList<int> fills;
};

// Head ends on line with fake sockets, a link with its timers (not started) and a clock
// standing at 10:00:00 on 9 December 2026.
class LinkFixture
{
public:
    explicit LinkFixture(QList<int> onLine = {1})
        : clock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))), scoped(clock)
    {
        vek::resetConsoleState();
        vek::Settings &s = vek::settings();
        for (int he = 1; he <= 12; ++he) {
            s.HEListNo[he] = static_cast<qint16>(he);
            s.HERetryMS[he] = 70;
            s.HEPort[he] = "790";
            s.HEChannels[he] = 16;
            s.HEAlarm[he] = true;
            s.HEName[he] = "HeadEnd" + QByteArray::number(he);
            s.HEMainIP[he] = "10.0.0." + QByteArray::number(he);
            s.HEBackupIP[he] = "10.1.0." + QByteArray::number(he);
        }
        for (int he : onLine)
            s.HEOnLine[he] = true;
        for (QDateTime &z : vek::ZoneTimes())
            z = clock.now();
        link = std::make_unique<vek::HsLink>(&ui);
        link->setSocketFactory([this](int he) {
            auto socket = std::make_unique<FakeHsSocket>();
            sockets[static_cast<size_t>(he)] = socket.get();
            return socket;
        });
        link->setRetryIntervals();
        link->connectHeadEnds(false);
    }
    ~LinkFixture()
    {
        link.reset();
        vek::resetConsoleState();
    }

    FakeHsSocket &sock(int he) { return *sockets[static_cast<size_t>(he)]; }

    // The header of the message in flight, followed by a body: the server's answer.
    QByteArray answer(int he, const QByteArray &body) const
    {
        return vek::LastSent(he).left(4) + body;
    }
    void arrive(int he, const QByteArray &body) { sock(he).arrive(answer(he, body)); }

    // Sends the first poll and acknowledges it, so no poll is due while the clock stands.
    void settle(int he)
    {
        link->timeBuffer_Timer();
        sock(he).arrive(vek::LastSent(he).left(4));
        sock(he).sent.clear();
    }

    // Acknowledges and flushes until nothing more goes out; the bodies sent, in order.
    QList<QByteArray> pump(int he)
    {
        QList<QByteArray> bodies;
        for (int guard = 0; guard < 1000; ++guard) {
            const qsizetype before = sock(he).sent.size();
            vek::SendHS(he, QByteArray(), 0);
            if (sock(he).sent.size() == before && vek::ResendLeft(he) == 0)
                break;
            for (qsizetype i = before; i < sock(he).sent.size(); ++i)
                bodies.append(sock(he).sent.at(i).mid(4));
            sock(he).arrive(vek::LastSent(he).left(4));
        }
        return bodies;
    }

    // What the server's answer sets off: every request it leads to, in sending order.
    QList<QByteArray> requestsAfter(int he, const QByteArray &body)
    {
        const qsizetype before = sock(he).sent.size();
        arrive(he, body);
        QList<QByteArray> bodies;
        for (qsizetype i = before; i < sock(he).sent.size(); ++i)
            bodies.append(sock(he).sent.at(i).mid(4));
        if (vek::ResendLeft(he) > 0)
            sock(he).arrive(vek::LastSent(he).left(4));
        bodies += pump(he);
        return bodies;
    }

    TestHome home;
    vek::ManualClock clock;
    vek::ScopedClock scoped;
    RecordingUi ui;
    std::array<FakeHsSocket *, 13> sockets{};
    std::unique_ptr<vek::HsLink> link;
};

inline QByteArray chr(int code)
{
    return QByteArray(1, static_cast<char>(static_cast<unsigned char>(code)));
}
