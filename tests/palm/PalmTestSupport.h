// Helpers shared by the palm suites: test text, record offsets and header
// fields of a database file, and the shared scratch folder, file access and
// reading back.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "Databases.h"
#include "TestFiles.h"

namespace palmtest {

// Bytes drawn from a small alphabet, so that they hold many repeats, with
// every byte value mixed in now and then.
inline std::string MixedBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    const std::string words = "the quick brown fox jumps over a lazy dog\r\n";
    std::string text;
    while (text.size() < size) {
        if (random() % 8 == 0)
            text += static_cast<char>(random() % 256);
        else
            text += words.substr(random() % words.size(), 1 + random() % 9);
    }
    text.resize(size);
    return text;
}

// Where a record of a database file starts, from its entry in the record list.
inline std::size_t RecordOffset(const std::string& file, std::size_t record)
{
    std::size_t at = 0;
    for (std::size_t entry = 78 + 8 * record; entry < 78 + 8 * record + 4; ++entry)
        at = at << 8 | static_cast<unsigned char>(file[entry]);
    return at;
}

// Writes a big-endian field of `width` bytes at `at`.
inline void SetField(std::string& file, std::size_t at, std::size_t width, std::uint32_t value)
{
    for (std::size_t i = width; i-- > 0; value >>= 8)
        file[at + i] = static_cast<char>(value & 0xFF);
}

}  // namespace palmtest
