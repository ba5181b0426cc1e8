// The VEK media-stats reader and the conversion of what it reads.

#include "mediastatsfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return vekfuzz::readAndConvert(vek::MediaStatsFormat::Vek, data, size);
}
