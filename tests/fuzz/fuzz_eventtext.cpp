// The event wire text: any bytes parse or fail cleanly, a parsed event written out
// parses again, and once the writer has normalised it (a short header, blanks at the end
// of the key) writing and parsing change nothing.

#include "core/eventtext.h"
#include "fuzzsupport.h"
#include "platform/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    vek::EventRec rec;
    try {
        rec = vek::ParseEvent(vekfuzz::bytes(data, size));
    } catch (const vek::Failure &) {
        return 0;
    }
    vek::EventRec once, twice;
    try {
        // A key that ends in a blank loses it in the first write; a second write is exact.
        once = vek::ParseEvent(vek::EventToString(vek::ParseEvent(vek::EventToString(rec))));
        twice = vek::ParseEvent(vek::EventToString(once));
    } catch (const vek::Failure &) {
        vekfuzz::require(false, "a written event parses");
    }
    vekfuzz::require(twice == once, "a written event parses to the same record");
    (void)vek::EventDetails(rec);
    return 0;
}
