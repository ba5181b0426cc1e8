#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <functional>

#include "core/eventstore.h"
#include "core/eventtext.h"
#include "hslinkfixture.h"
#include "testregistry.h"

using namespace vek;

namespace {

constexpr int MessageCount = 100000;
constexpr int KeyPool = 400;

class Noise
{
public:
    explicit Noise(quint32 seed) : m_rng(seed) {}

    int below(int n) { return static_cast<int>(m_rng.bounded(static_cast<quint32>(n))); }
    bool chance(int percent) { return below(100) < percent; }
    char byte() { return static_cast<char>(below(256)); }
    QByteArray bytes(int n)
    {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = byte();
        return b;
    }

    QByteArray mutate(QByteArray m)
    {
        switch (below(5)) {
        case 0: // flip a few bytes
            for (int i = 0, n = 1 + below(4); i < n && !m.isEmpty(); ++i)
                m[below(static_cast<int>(m.size()))] = byte();
            break;
        case 1: // cut short
            m.truncate(below(static_cast<int>(m.size()) + 1));
            break;
        case 2: // grow
            m.insert(below(static_cast<int>(m.size()) + 1), bytes(1 + below(40)));
            break;
        case 3: // no bytes at all, or a byte or two
            m = bytes(below(3));
            break;
        default: // garbage of any length
            m = bytes(below(300));
            break;
        }
        return m;
    }

private:
    QRandomGenerator m_rng;
};

QByteArray key(int n)
{
    return ("RK" + QByteArray::number(n)).leftJustified(32, '-');
}

} // namespace

class TestHsRobustness : public QObject
{
    Q_OBJECT
private slots:
    void randomAndMutatedArrivalsLeaveTheTablesSound()
    {
        LinkFixture f({1, 2});
        Settings &s = settings();
        s.HEChannels[1] = 300;
        s.HEChannels[2] = 20;
        s.HEListNo[2] = 33; // a list number the poll reply cannot flag
        f.settle(1);
        f.settle(2);
        CVHeadEnd() = 1;
        Noise noise(20261209);

        for (int he = 1; he <= 2; ++he) {
            for (int ch = 1; ch <= 256; ++ch) {
                ChannelEntry &e = Channel(he, ch);
                static const int codes[] = {0, 3, 8, 10, 40, 74, 80, 82, 96, 200};
                e.ChanLevel = static_cast<quint8>(codes[noise.below(10)]);
                e.ChanCol = static_cast<qint16>(noise.below(70) - 2);
                e.ChanDefSrc = static_cast<qint16>(noise.below(300));
                e.ChanBackupSrc = static_cast<qint16>(noise.below(300));
                e.ChanName = "CH" + QByteArray::number(noise.below(20));
                e.SrcName = "S" + QByteArray::number(ch);
            }
        }

        const QByteArray sep = chr(206);
        std::vector<std::function<QByteArray()>> makers = {
            [&] { return "n" + noise.bytes(noise.below(14)); },
            [&] { return "r" + noise.bytes(noise.below(30)); },
            [&] { return "s" + chr(noise.below(10)) + noise.bytes(noise.below(80)); },
            [&] { return "v" + chr(noise.below(18)) + noise.bytes(noise.below(80)); },
            [&] {
                QByteArray r;
                for (int i = 0, n = 10 + noise.below(9); i < n; ++i)
                    r += (i ? sep : QByteArray()) +
                         (noise.chance(70)
                              ? QByteArray::number(noise.below(300))
                              : (noise.chance(50) ? QByteArray("True") : noise.bytes(3)));
                return "w" + chr(noise.below(256)) + r;
            },
            [&] { return "y" + QByteArray::number(noise.below(1000000)); },
            [&] { return "\x82" + noise.bytes(noise.below(45)); },
            [&] { return "\x83" + noise.bytes(noise.below(45)); },
            [&] { return chr(141 + noise.below(5)) + chr(noise.below(10)) + noise.bytes(40); },
            [&] { return chr(151 + noise.below(4)) + chr(noise.below(18)) + noise.bytes(40); },
            [&] { return "\xa1" + chr(noise.below(16)); },
            [&] { return "\xa2" + chr(noise.below(256)); },
            [&] {
                return "\xab" + chr(1) + chr(2 + noise.below(2)) + "00" +
                       QByteArray("ch" + QByteArray::number(noise.below(20))).leftJustified(8) +
                       QByteArray::number(noise.below(1200) - 100).leftJustified(4);
            },
            [&] {
                EventRec r;
                r.InUse = true;
                r.EventKey = key(noise.below(KeyPool));
                r.DestCh = static_cast<qint16>(noise.below(300));
                r.Status = static_cast<quint8>(noise.below(9));
                r.EventDate = QDate(2026, 12, 9);
                r.StartTime = "10:00:00";
                r.EndTime = "10:30:00";
                r.StartKey = 2026120936000 + noise.below(7200);
                r.EndKey = r.StartKey + 1800;
                return (noise.chance(75) ? "\xb5" : "\xb6") + EventToString(r);
            },
        };

        QElapsedTimer elapsed;
        elapsed.start();
        for (int i = 0; i < MessageCount; ++i) {
            const int he = noise.chance(80) ? 1 : 2;
            QByteArray body =
                makers[static_cast<size_t>(noise.below(static_cast<int>(makers.size())))]();
            if (noise.chance(30))
                body = noise.mutate(body);
            const QByteArray header =
                noise.chance(85) ? LastSent(he).left(4) : noise.bytes(noise.below(6));
            f.clock.advanceMs(noise.below(400));
            f.sock(he).arrive(header + body);

            switch (noise.below(12)) {
            case 0:
                f.link->timeBuffer_Timer();
                break;
            case 1:
                f.link->timeHSCTS_Timer(he);
                break;
            case 2:
                f.link->timeUPDATE_Timer();
                break;
            case 3:
                f.link->timeDashBoard_Timer();
                break;
            case 4:
                f.link->timeEventWait_Timer(he);
                break;
            default:
                break;
            }
            if (f.sock(he).sent.size() > 1000)
                f.sock(he).sent.clear();
        }
        qInfo("%d arrivals in %lld ms", MessageCount, static_cast<long long>(elapsed.elapsed()));

        // The key index agrees with a plain scan of the table.
        for (int he = 1; he <= 2; ++he) {
            f.link->timeEventWait_Timer(he);
            QHash<QByteArray, int> first;
            int firstFree = -1;
            for (int slot = 0; slot < EventTable::Slots; ++slot) {
                const EventRec &r = Events().at(he, slot);
                if (!r.InUse) {
                    if (firstFree < 0)
                        firstFree = slot;
                    continue;
                }
                QVERIFY2(!first.contains(r.EventKey), r.EventKey.constData());
                first.insert(r.EventKey, slot);
            }
            QVERIFY(!first.isEmpty());
            QCOMPARE(firstFreeEventSlot(he), firstFree);
            for (int k = 0; k < KeyPool; ++k)
                QCOMPARE(findEventSlot(he, key(k)), first.value(key(k), -1));
        }
        QVERIFY(f.ui.alarms.size() > 0);
        QVERIFY(f.ui.fills.size() > 0);
    }
};

VEK_TEST(TestHsRobustness)
#include "tst_hsrobustness.moc"
