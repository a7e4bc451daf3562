// Small helpers for POSIX file descriptors.
#pragma once

#include <string_view>

// Writes all of `bytes` to `fd`, retrying after interruptions; false when a
// write fails or stops short (a full disk, a size limit).
bool WriteAll(int fd, std::string_view bytes);
