#pragma once

// A console whose main window has the channel windows installed, connected to a simulated
// Hardware Server, with an operator and an administrator who both have the right on every
// head end of the scenario.

#include <QTest>
#include <memory>

#include "channelview/channelwindows.h"
#include "channelview/chanviewgrid.h"
#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/linkactivity.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/selection.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/systemoptions.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "platform/widgets/dialogseam.h"
#include "testhome.h"
#include "tools/hwsim/hwsim.h"

namespace chanrig {

constexpr int Operator = 1;
constexpr int Admin = 2;

class ChannelRig
{
public:
    // channels: how many channel records the console asks each head end for.
    explicit ChannelRig(const QByteArray &scenario, int channels)
    {
        vek::resetConsoleState();
        QString error;
        loaded = sim.loadScenarioText(scenario, &error) && sim.listenAll(&error);
        if (!loaded)
            qWarning("scenario: %s", qPrintable(error));
        for (QDateTime &z : vek::ZoneTimes())
            z = vek::Clock::localNow();
        main = std::make_unique<vek::MDIMain>();
        core = std::make_unique<vek::ConsoleCore>(main.get());
        main->attach(core.get());
        vek::installChannelViewOpeners(main.get());
        vek::Settings &s = vek::settings();
        for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
            s.HEName[size_t(he)] = "Head End " + QByteArray::number(he);
            s.HEShortName[size_t(he)] = "HE" + QByteArray::number(he);
            s.HEOnLine[size_t(he)] = false;
        }
        s.EventColors = {0, 1, 2, 3, 4, 5, 6, 7, 8};
        vek::Users &u = vek::users();
        u.UserName[Operator] = QStringLiteral("OPER");
        u.UserName[Admin] = QStringLiteral("ADMIN");
        u.UserPrivilege[Operator] = vek::PrivilegeOperator;
        u.UserPrivilege[Admin] = vek::PrivilegeAdmin;
        for (const int he : sim.headEnds()) {
            s.HEOnLine[size_t(he)] = true;
            s.HEMainIP[size_t(he)] = "127.0.0.1";
            s.HEPort[size_t(he)] = QByteArray::number(sim.port(he));
            s.HEListNo[size_t(he)] = 1;
            s.HERetryMS[size_t(he)] = 50;
            s.HEChannels[size_t(he)] = qint16(channels);
            u.UserHEAccess[Operator][size_t(he)] = true;
            u.UserHEAccess[Admin][size_t(he)] = true;
        }
        u.CurrentUser = Operator;
        main->show();
    }
    ~ChannelRig()
    {
        main->close();
        core.reset();
        main.reset();
        vek::resetConsoleState();
    }

    vek::HsLink &link() { return core->hsLink(); }

    // Connects head end 1, starts the link and waits until its channel entry lastChannel
    // has arrived.
    bool start(int lastChannel, qint16 lastNumber)
    {
        if (!loaded)
            return false;
        link().setRetryIntervals();
        link().connectHeadEnds(false);
        if (!QTest::qWaitFor([&] { return link().socket(1) && link().socket(1)->isConnected(); },
                             3000))
            return false;
        link().start();
        return QTest::qWaitFor([&] { return vek::Channel(1, lastChannel).ChanNum == lastNumber; },
                               10000);
    }

    // The bodies the console sent to head end 1 from trace index from on.
    QList<QByteArray> bodies(qsizetype from = 0) const
    {
        QList<QByteArray> out;
        const QList<vek::sim::TraceLine> &t = sim.trace();
        for (qsizetype i = from; i < t.size(); ++i) {
            if (t[i].headEnd == 1 && t[i].direction == "in")
                out.append(t[i].bytes.mid(4));
        }
        return out;
    }
    // The trace lines of head end 1 from the console whose body starts with code.
    QList<vek::sim::TraceLine> messages(char code, qsizetype from = 0) const
    {
        QList<vek::sim::TraceLine> out;
        const QList<vek::sim::TraceLine> &t = sim.trace();
        for (qsizetype i = from; i < t.size(); ++i) {
            if (t[i].headEnd == 1 && t[i].direction == "in" && t[i].bytes.size() > 4 &&
                t[i].bytes[4] == code)
                out.append(t[i]);
        }
        return out;
    }
    bool waitForBody(const QByteArray &body, qsizetype from = 0)
    {
        return QTest::qWaitFor([&] { return bodies(from).contains(body); }, 3000);
    }
    qsizetype mark() const { return sim.trace().size(); }

    TestHome home;
    vek::sim::HwSim sim;
    std::unique_ptr<vek::MDIMain> main;
    std::unique_ptr<vek::ConsoleCore> core;
    bool loaded = false;
};

} // namespace chanrig
