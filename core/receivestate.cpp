#include "receivestate.h"
#include "moduleresets.h"

#include <array>

#include "platform/failure.h"

namespace vek {

namespace {
constexpr int HeadEndRows = 13;

struct ReceiveState
{
    qint16 lessThanMinutes = 30;
    std::array<std::array<bool, HeadEndRows>, ViewCount + 1> gridDirty{};
    std::array<bool, HeadEndRows> updatePending{};
    double lastGridUpdate = 0;
    std::array<bool, DashBoardSlots + 1> dashPending{};
    QByteArray lastAlarm;
    QByteArray alarmText;
    bool alarmFlag = false;
    std::array<qint16, HeadEndRows> lastBlock{};
    qint16 updateHE = 0;
    qint16 updateUnit = 0;
    std::array<std::array<QByteArray, MaxRouterLevel + 1>, HeadEndRows> rtrBuffer;
    std::array<std::array<StatusForm, MaxRouterLevel + 1>, HeadEndRows> rtrForm{};
    std::array<std::array<QByteArray, MaxTmxUnit + 1>, HeadEndRows> tmxBuffer;
    std::array<qint16, HeadEndRows> heTimeZone{};
    std::array<DashBoardRec, DashBoardSlots + 1> dashAll{};
    std::array<DashBoardRec, DashBoardSlots + 1> dashToday{};
};

ReceiveState &state()
{
    static ReceiveState s;
    return s;
}

void check(int index, int last)
{
    if (index < 0 || index > last)
        throw Failure(ErrorKind::SubscriptOutOfRange);
}
} // namespace

qint16 &LessThanMinutes()
{
    return state().lessThanMinutes;
}

bool &GridDirty(int view, int headEnd)
{
    check(view, ViewCount);
    check(headEnd, HeadEndRows - 1);
    return state().gridDirty[view][headEnd];
}

bool &UpdatePending(int headEnd)
{
    check(headEnd, HeadEndRows - 1);
    return state().updatePending[headEnd];
}

double &LastGridUpdate()
{
    return state().lastGridUpdate;
}

bool &DashPending(int headEnd)
{
    check(headEnd, DashBoardSlots);
    return state().dashPending[headEnd];
}

QByteArray &LastAlarm()
{
    return state().lastAlarm;
}

QByteArray &AlarmText()
{
    return state().alarmText;
}

bool &AlarmFlag()
{
    return state().alarmFlag;
}

qint16 &LastBlock(int headEnd)
{
    check(headEnd, HeadEndRows - 1);
    return state().lastBlock[headEnd];
}

qint16 &UpdateHE()
{
    return state().updateHE;
}

qint16 &UpdateUnit()
{
    return state().updateUnit;
}

QByteArray &RTRBuffer(int headEnd, int level)
{
    check(headEnd, HeadEndRows - 1);
    check(level, MaxRouterLevel);
    return state().rtrBuffer[headEnd][level];
}

StatusForm &RTRForm(int headEnd, int level)
{
    check(headEnd, HeadEndRows - 1);
    check(level, MaxRouterLevel);
    return state().rtrForm[headEnd][level];
}

QByteArray &TMXBuffer(int headEnd, int unit)
{
    check(headEnd, HeadEndRows - 1);
    check(unit, MaxTmxUnit);
    return state().tmxBuffer[headEnd][unit];
}

qint16 &HETimeZone(int headEnd)
{
    check(headEnd, HeadEndRows - 1);
    return state().heTimeZone[headEnd];
}

DashBoardRec &DashBoardAll(int headEnd)
{
    check(headEnd, DashBoardSlots);
    return state().dashAll[headEnd];
}

DashBoardRec &DashBoardToday(int headEnd)
{
    check(headEnd, DashBoardSlots);
    return state().dashToday[headEnd];
}

void resetReceiveState()
{
    state() = ReceiveState();
}

} // namespace vek
