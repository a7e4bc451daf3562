// Symbol visibility for the types that libpatternkit.so exports.
//
// Everything is built with hidden visibility; the framework types and the
// pattern component mark their public classes with FOLIVO_EXPORT so that a
// client of the shared library can use them.
#pragma once

#if defined(_WIN32)
#define FOLIVO_EXPORT
#else
#define FOLIVO_EXPORT __attribute__((visibility("default")))
#endif
