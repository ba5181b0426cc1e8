#include "timezones.h"

namespace vek {

void LoadDSTTable() {}
void updateZoneTimes() {}

} // namespace vek
