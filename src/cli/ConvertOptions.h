// The options of `folivo convert`, as given on the command line.
#pragma once

#include "Commands.h"

#include <core/ConversionSettings.h>
#include <core/Error.h>

#include <optional>
#include <string>
#include <vector>

namespace folivo::cli {

struct ConvertOptions {
    DocumentFormat format = DocumentFormat::PalmDoc;
    std::optional<int> blockSizeKB;
    bool noCompress = false;
    std::optional<LineBreakRemoval> removal;
    std::optional<LineBreakTranslation> translation;
    bool joinLines = false;
    bool tabsToBreaks = false;
    bool allowLowAscii = false;
    bool stripHtml = false;
    std::optional<CString> bookmarks;
    std::optional<CString> title;
    std::optional<CString> output;
    std::optional<CString> installUser;
    unsigned jobs = 0;  // 0: one per processor core
    bool noDefaults = false;
    std::vector<CString> files;
};

// Fails, saying what is wrong with the command line.
Error ParseConvertOptions(const ArgumentList& args, ConvertOptions& options);

}  // namespace folivo::cli
