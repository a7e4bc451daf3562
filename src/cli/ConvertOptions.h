// The options of `folivo convert`, as given on the command line.
#pragma once

#include "Commands.h"

#include <core/ConversionSettings.h>
#include <core/Error.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace folivo::cli {

// One radio group of text rules on the command line: a mode chosen, or
// modes switched off (a stored one of them then gives way to None).
template <class Mode>
struct ModeChoice {
    std::optional<Mode> chosen;
    std::vector<Mode> off;

    Mode Over(Mode stored) const
    {
        if (chosen)
            return *chosen;
        return std::ranges::find(off, stored) != off.end() ? Mode::None : stored;
    }
};

struct ConvertOptions {
    DocumentFormat format = DocumentFormat::PalmDoc;
    std::optional<int> blockSizeKB;
    bool noCompress = false;
    ModeChoice<LineBreakRemoval> removal;
    ModeChoice<LineBreakTranslation> translation;
    // The check-box rules: on, off, or (nullopt) as stored.
    std::optional<bool> joinLines;
    std::optional<bool> tabsToBreaks;
    std::optional<bool> allowLowAscii;
    std::optional<bool> stripHtml;
    std::optional<bool> keepEncoding;  // the hand-held's character set off
    std::optional<bool> htmlLayout;
    std::optional<bool> contentsBookmarks;
    std::optional<CString> bookmarks;
    std::optional<CString> title;
    std::optional<CString> output;  // kStandardStream: standard output
    std::optional<CString> installUser;
    unsigned jobs = 0;  // 0: one per processor core
    bool noDefaults = false;
    bool salvage = false;        // a damaged database gives what can be read of it
    std::vector<CString> files;  // kStandardStream: standard input, then the only one
};

// Fails, saying what is wrong with the command line.
Error ParseConvertOptions(const ArgumentList& args, ConvertOptions& options);

}  // namespace folivo::cli
