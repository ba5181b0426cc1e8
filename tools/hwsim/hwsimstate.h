#pragma once

// The simulator's per-head-end and per-connection state, shared by its source files.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTime>
#include <memory>
#include <vector>

#include "tools/hwsim/hwsim.h"

class QTcpServer;
class QTcpSocket;

namespace vek::sim {

inline constexpr int KeyLength = 32;

// "hh:mm:ss" of a time, and of a count of seconds (negative counts as 0).
QByteArray hms(const QTime &t);
QByteArray hmsOfSeconds(qint64 secs);
// An event key trimmed and padded with "0" to its 32 characters.
QByteArray padKey(const QByteArray &key);

struct HwSim::Connection
{
    QTcpSocket *socket = nullptr;
    int listNo = 0;
    QList<QByteArray> pending; // event keys whose change this console has not fetched
    bool tableChanged = true;
    bool statusChanged = false;
    quint8 rtrFlags = 0;
    quint16 tmxFlags = 0;
    // Every read lands here: its memory is reused from message to message.
    QByteArray readBuffer;
};

struct HwSim::HeadEnd
{
    int number = 0;
    QByteArray name;
    quint16 scenarioPort = 0;
    int zone = 4;
    int minutes = 30;
    int listNo = 1;
    QMap<int, SimChannel> channels;
    QMap<int, QMap<int, int>> router; // level (0..8, 80..96) -> output -> input
    QMap<int, int> statusDigit;       // device code 10..74 -> digit
    QMap<QByteArray, EventRec> events;
    QMap<QByteArray, EventRec> deleted;
    QList<QByteArray> alarms;
    QList<QByteArray> backups;
    QTcpServer *server = nullptr;
    std::vector<std::unique_ptr<Connection>> conns;
    Misbehaviour mode = Misbehaviour::None;
    int modeLeft = -1;
    int serial = 0;
    // Where the next churn starts, and how many churns changed comments.
    qsizetype churnNext = 0;
    int churnRound = 0;
};

} // namespace vek::sim
