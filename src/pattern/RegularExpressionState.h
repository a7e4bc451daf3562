// The state record of a RegularExpression: everything the object holds
// except its hooked handler lists.
#pragma once

#include "FileOperationState.h"
#include "LocaleDll.h"
#include "OptionSets.h"
#include "Win32RegexTraits.h"

#include <patternkit/RegularExpression.h>

#include <boost/regex.hpp>

#include <array>
#include <locale>
#include <memory>
#include <optional>

namespace patternkit {

using CppExpression = boost::basic_regex<char, boost::regex_traits<char, boost::cpp_regex_traits<char>>>;
using Win32Expression = boost::basic_regex<char, Win32RegexTraits>;
using CExpression = boost::basic_regex<char, boost::c_regex_traits<char>>;
using MatchResults = boost::match_results<const char*>;

// Whether a value a caller or an archive gave is one of the enumerators.
constexpr bool IsFormatType(int type)
{
    return type >= RegularExpression::formatAll && type <= RegularExpression::formatPerl;
}
constexpr bool IsLocaleModel(int model)
{
    return model >= RegularExpression::localeCpp && model <= RegularExpression::localeC;
}

struct ParseState {
    bool parsed = false;
    int code = 0;  // already in the component's numbering
    CString text;
};

}  // namespace patternkit

struct RegularExpression::State {
    // Options and properties.
    patternkit::OptionSet expressionOptions = patternkit::kDefaultExpressionOptions;
    patternkit::OptionSet matchOptions = patternkit::kDefaultMatchOptions;
    CString expression;
    // Shared and never changed in place: an operation keeps the text it runs
    // over alive even when a handler sets a new StringToMatch.
    std::shared_ptr<const CString> stringToMatch = std::make_shared<const CString>();
    CString formatString;
    CString filesToMatch;
    CString saveExtension;
    CString localeDll;
    FormatTypes formatType = formatAll;
    LocaleModels localeModel = localeCpp;
    std::locale locale;
    bool directoryRecursion = false;
    bool continueFiles = true;
    bool mergeCopy = false;
    bool mergeOnlyFirst = false;
    bool splitInputDelete = false;
    unsigned long maximumSplits = 0;

    // Compilation, one expression and parse state per locale model.
    patternkit::CppExpression cppExpression;
    patternkit::Win32Expression win32Expression;
    patternkit::CExpression cExpression;
    std::array<patternkit::ParseState, 3> parse;
    bool localeChanged = false;
    // The LocaleDll each model's expression was last set up for (none yet).
    std::optional<CString> cppCatalogueFor;
    std::optional<CString> win32CatalogueFor;
    patternkit::LocaleDllTexts dllTexts;

    // Results of the operation running now; Format reads them.
    const patternkit::MatchResults* currentMatch = nullptr;
    const patternkit::MatchResults* currentGrep = nullptr;
    bool busy = false;
    bool grepGaveUp = false;

    // Callback pointers.
    MatchingCallback onMatching = nullptr;
    SearchingCallback onSearching = nullptr;
    GreppingCallback onGrepping = nullptr;
    MergingCallback onMerging = nullptr;
    GreppingFilesCallback onGreppingFiles = nullptr;
    FindingFilesCallback onFindingFiles = nullptr;
    ChangingFilesCallback onChangingFiles = nullptr;

    // The file operations keep their state and problem lists below.
    patternkit::FileOperationState files;

    void ResetParseStates(bool cpp = true, bool win32 = true, bool c = true)
    {
        if (cpp)
            parse[localeCpp] = {};
        if (win32)
            parse[localeWin32] = {};
        if (c)
            parse[localeC] = {};
    }
    // Copies what copying an object copies.
    void CopySettings(const State& other);
};
