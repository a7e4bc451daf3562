// Compressing any bytes as one PalmDoc record must give a record that decodes
// back to exactly those bytes, within the 9/8 bound, without references that
// leave the record or overlap their own output.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <palm/PalmDocCompressor.h>
#include <palm/PalmDocDecompressor.h>

namespace {

bool referencesAreSafe(const std::string& compressed) {
  std::size_t produced = 0;
  for (std::size_t i = 0; i < compressed.size();) {
    const unsigned char b = static_cast<unsigned char>(compressed[i++]);
    if (b >= 1 && b <= 8) {
      i += b;
      produced += b;
    } else if (b < 0x80) {
      produced += 1;
    } else if (b >= 0xC0) {
      produced += 2;
    } else {
      if (i == compressed.size()) return false;
      const unsigned v = (b << 8 | static_cast<unsigned char>(compressed[i++])) & 0x3FFF;
      const std::size_t distance = v >> 3, length = (v & 7) + 3;
      if (distance < length || distance > produced) return false;
      produced += length;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 31 * 1024) return 0;  // the largest record a writer makes
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string compressed = palm::compressPalmDocRecord(input);
  std::string decoded;
  if (!palm::decompressPalmDocRecord(compressed, decoded, size) || decoded != input) std::abort();
  if (compressed.size() > (size * 9 + 7) / 8 || !referencesAreSafe(compressed)) std::abort();
  return 0;
}
