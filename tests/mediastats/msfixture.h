#pragma once

#include <QDir>
#include <QFile>
#include <QTest>

#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "core/hssocket.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "testhome.h"

// A Hardware Server link that is up, with no server behind it.
class UpSocket : public vek::HsSocket
{
public:
    void connectToHost(const QByteArray &, quint16) override {}
    bool isConnected() const override { return true; }
    void send(const QByteArray &) override {}
    void close() override {}
    QString localAddress() const override { return {}; }
};

// A console standing at 5 March 2024, 10:00:00 (every zone clock and the PC clock alike)
// with three head ends: 1 (C.O. 1000), 2 and 3 (both C.O. 2000), each with the same
// fixture channel table.
class MsFixture
{
public:
    static QDateTime start() { return QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)); }

    MsFixture() : clock(start()), scope(clock)
    {
        vek::resetConsoleState();
        vek::Settings &s = vek::settings();
        for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
            s.HEMediaStatsCO[size_t(he)] = "none" + QByteArray::number(he);
            vek::HETimeZone(he) = 4;
        }
        s.HEName[1] = "North";
        s.HEName[2] = "South";
        s.HEName[3] = "East";
        s.HEMediaStatsCO[1] = "1000";
        s.HEMediaStatsCO[2] = "2000";
        s.HEMediaStatsCO[3] = " 2000 ";
        s.AutoLoadPath = home.path(QString()).toLatin1();
        setZoneNow(start());
        for (int he = 1; he <= 3; ++he) {
            channel(he, 1, "LOCAL1", 101, 1, "Local One", "Local Out");
            channel(he, 2, "ESPN", 202, 1, "ESPN Feed", "ESPN Out");
            channel(he, 3, "SUB1", 303, 1, "Sub Feed", "Sub Out");
            channel(he, 4, "HIDDEN", 404, 1, "Hidden Feed", "Hidden Out").ChanHidden = true;
            channel(he, 5, "LEVEL2", 505, 2, "Level Two", "L2 Out");
            channel(he, 6, "ROUTER", 606, 0, "Router Feed", "Router Out");
        }
    }

    ~MsFixture() { vek::resetConsoleState(); }

    // The head end's link is up (a watched-folder import sends it rows).
    void linkUp(int he) { vek::setHsSocket(he, &m_up); }

    static vek::ChannelEntry &channel(int he, int ch, const QByteArray &name, qint16 num,
                                      quint8 level, const QByteArray &src, const QByteArray &desc)
    {
        vek::ChannelEntry &c = vek::Channel(he, ch);
        c.ChanName = name;
        c.ChanNum = num;
        c.ChanLevel = level;
        c.ChanDefSrc = qint16(ch + 10);
        c.ChanCol = qint16(ch + 20);
        c.ChanBackupSrc = qint16(ch + 30);
        c.SrcName = src;
        c.ChanDesc = desc;
        return c;
    }

    void setZoneNow(const QDateTime &local)
    {
        for (QDateTime &z : vek::ZoneTimes())
            z = QDateTime(local.date(), local.time(), Qt::UTC);
    }

    // An event of the table (as the server sent it).
    static void event(int he, int slot, const QByteArray &key, const QByteArray &id, quint8 status)
    {
        vek::EventRec &e = vek::Events().edit(he, slot);
        e.InUse = true;
        e.EventKey = key;
        e.HeadEnd = quint8(he);
        e.MediaPointID = id;
        e.Status = status;
    }

    // Every message of the WIN queue, taken out, as "he|message" lines.
    static QByteArray drainQueue()
    {
        QByteArray out;
        for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
            for (QByteArray m = vek::WINGET(he); !m.isEmpty(); m = vek::WINGET(he))
                out += QByteArray::number(he) + '|' + m + '\n';
        }
        return out;
    }

    static QList<QByteArray> drain(int he)
    {
        QList<QByteArray> out;
        for (QByteArray m = vek::WINGET(he); !m.isEmpty(); m = vek::WINGET(he))
            out += m;
        return out;
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        home.write(name, bytes);
        return home.path(name);
    }

    // A file of the folder last changed `age` seconds before the fixture's clock.
    QString writeSettled(const QString &name, const QByteArray &bytes, int age = 60)
    {
        const QString path = write(name, bytes);
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(clock.now().addSecs(-age), QFileDevice::FileModificationTime);
        return path;
    }

    TestHome home;
    vek::ManualClock clock;
    vek::ScopedClock scope;

private:
    UpSocket m_up;
};

// Compares text with a golden file of tests/mediastats/golden; VEK_UPDATE_GOLDEN=1
// writes the file instead.
inline bool matchesGolden(const QString &name, const QByteArray &actual)
{
    const QString path = QStringLiteral(VEK_GOLDEN_DIR "/") + name;
    QFile f(path);
    if (qEnvironmentVariableIsSet("VEK_UPDATE_GOLDEN")) {
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(actual);
        return true;
    }
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray expected = f.readAll();
    if (expected == actual)
        return true;
    const QList<QByteArray> e = expected.split('\n'), a = actual.split('\n');
    for (qsizetype i = 0; i < qMax(e.size(), a.size()); ++i) {
        if (e.value(i) != a.value(i)) {
            qWarning("golden %s line %lld:\n expected %s\n actual   %s", qPrintable(name),
                     static_cast<long long>(i + 1), e.value(i).constData(), a.value(i).constData());
            break;
        }
    }
    return false;
}
