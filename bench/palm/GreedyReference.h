// A model of the greedy PalmDoc compressor that calibre uses, written from
// its published description, to compare output sizes. It is a yardstick for
// the benchmark, not part of the product.
//
// Per position: a back-reference only if more than 10 bytes lie before and
// after it, the longest of length 10 down to 3 found anywhere within 2047
// bytes before (not overlapping); else a space pair; else a literal, or a
// counted run of up to 8 consecutive bytes that need escaping.
#pragma once

#include <cstddef>
#include <string_view>

// Compressed size of one record.
std::size_t GreedyRecordSize(std::string_view record);
