// Compressing any bytes as one PalmDoc record must give a record that decodes
// back to exactly those bytes, within the 9/8 bound, without references that
// leave the record or overlap their own output. A record too short for any
// hash chain to reach the search limit must also be the smallest possible.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "PalmDocCompressor.h"
#include "PalmDocDecompressor.h"

#include "SafeReferences.h"
#include "SmallestRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 31 * 1024)
        return 0;  // the largest record a writer makes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string compressed = palm::CompressPalmDocRecord(input);
    std::string decoded;
    if (!palm::DecompressPalmDocRecord(compressed, decoded, size) || decoded != input)
        std::abort();
    if (compressed.size() > (size * 9 + 7) / 8 || !palmtest::ReferencesAreSafe(compressed))
        std::abort();
    if (size <= 256 && compressed.size() != palmtest::SmallestRecordSize(input))
        std::abort();
    return 0;
}
