#include "systemoptions.h"
#include "moduleresets.h"

namespace vek {

namespace {
struct SystemOptions
{
    bool confirmPopupSub = true;
    bool resetSelection = false;
};

SystemOptions &state()
{
    static SystemOptions s;
    return s;
}
} // namespace

bool &ConfirmPopupSub()
{
    return state().confirmPopupSub;
}

bool &ResetSelection()
{
    return state().resetSelection;
}

void resetSystemOptions()
{
    state() = SystemOptions();
}

} // namespace vek
