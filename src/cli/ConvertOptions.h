// The options of `folivo convert`, as given on the command line.
#pragma once

#include "Commands.h"

#include <core/ConversionSettings.h>

#include <optional>
#include <string>
#include <vector>

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

// Returns an empty string, or what is wrong with the command line.
std::string ParseConvertOptions(const ArgumentList& args, ConvertOptions& options);
