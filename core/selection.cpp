#include "selection.h"
#include "moduleresets.h"

namespace vek {

namespace {
struct SelectionState
{
    qint16 selHE = 0;
    qint16 selCh = 0;
    qint16 selView = 0;
    QByteArray keyBuffer;
};

SelectionState &state()
{
    static SelectionState s;
    return s;
}
} // namespace

qint16 &SelHE()
{
    return state().selHE;
}

qint16 &SelCh()
{
    return state().selCh;
}

qint16 &SelView()
{
    return state().selView;
}

QByteArray &KeyBuffer()
{
    return state().keyBuffer;
}

void resetSelection()
{
    state() = SelectionState();
}

} // namespace vek
