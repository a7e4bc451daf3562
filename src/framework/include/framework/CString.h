// The application framework's 8-bit strings.
//
// Text is handled as bytes of the ANSI code page, so a plain byte string
// serves: a CString may hold any byte, NUL included.
#pragma once

#include <string>
#include <vector>

using CString = std::string;
using CStringArray = std::vector<CString>;
