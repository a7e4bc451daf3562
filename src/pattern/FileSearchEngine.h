// The engine's file search: the files named by a wildcard pattern,
// searched whole with one expression.
//
// It stands in for the engine's high-level class and its file members
// (FindFiles, GrepFiles) with the continue-on-error mode, the localization
// model choice and the problem lists, and keeps its calling convention: the
// callbacks are plain functions without a context argument.
#pragma once

#include "Win32RegexTraits.h"

#include <patternkit/FileProblems.h>

#include <boost/regex.hpp>

#include <memory>
#include <string_view>

namespace patternkit {

class FileSearchEngine {
public:
    // Answer false to stop: FindFiles stops altogether, GrepFiles goes on with
    // the next file.
    using FindFilesCallback = bool (*)(const char* fileName);
    using GrepFilesCallback = bool (*)(const char* fileName, const FileSearchEngine& engine);

    enum LocalizationModel { modelCpp = 0, modelC = 1, modelWin32 = 2 };

    FileSearchEngine();
    ~FileSearchEngine();
    FileSearchEngine(const FileSearchEngine&) = delete;
    FileSearchEngine& operator=(const FileSearchEngine&) = delete;

    // Off: the search ends at the first file problem.
    void SetFilesContinue(bool on) { m_continue = on; }
    // Takes effect at the next SetExpression.
    void SetLocalizationModel(int model) { m_model = model; }
    // Compiles in the perl syntax; returns 0 or the engine's error code.
    int SetExpression(const char* expression, bool icase);

    // Both return counts: files with a match, and matches.
    unsigned FindFiles(FindFilesCallback callback, const char* files, bool recurse,
                       boost::regex_constants::match_flag_type flags);
    unsigned GrepFiles(GrepFilesCallback callback, const char* files, bool recurse,
                       boost::regex_constants::match_flag_type flags);

    // The problems of the last FindFiles and GrepFiles.
    const FileSearchProblemList& FilesContinueErrorsFind() const { return m_findErrors; }
    const FileSearchProblemList& FilesContinueErrorsGrep() const { return m_grepErrors; }

    // The match being reported to a GrepFiles callback: entries (0 the whole
    // match, then the sub-expressions), their text and offset in the file (-1
    // when the entry did not take part), and the line (1 for the first).
    unsigned Marks() const;
    std::string_view operator[](unsigned i) const;
    int Position(unsigned i) const;
    unsigned Line() const { return m_line; }

private:
    struct Compiled;
    template <class Search>
    unsigned SearchFiles(const char* files, bool recurse, FileSearchProblemList& problems, Search search);
    template <class F>
    decltype(auto) WithExpression(F&& f) const;

    std::unique_ptr<Compiled> m_compiled;
    int m_model = modelCpp;
    bool m_continue = false;
    FileSearchProblemList m_findErrors;
    FileSearchProblemList m_grepErrors;
    const boost::match_results<const char*>* m_match = nullptr;
    const char* m_base = nullptr;
    unsigned m_line = 0;
    bool m_inCallback = false;
};

}  // namespace patternkit
