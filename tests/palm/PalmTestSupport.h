// Helpers shared by the palm suites: test text, and the shared scratch
// folder, file access and reading back.
#pragma once

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

}  // namespace palmtest
