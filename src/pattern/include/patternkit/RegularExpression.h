// RegularExpression: a regular expression, the text to run it on, option sets,
// a format string and event handlers in one serializable object.
//
// The component never throws to its caller: a compile error is an
// ExpressionErrorCode with a text, operations end with false, 0 or an empty
// result, and the engine's complexity and stack limits met while matching end
// an operation the same way. Exceptions thrown by the caller's own handlers
// pass through unchanged.
//
// Platform stand-ins on this system:
//  - localeWin32 compiles with the component's own traits for 8-bit text in the
//    Windows-1252 code page: classification, case folding and a primary sort
//    key that ignores case and accents, whatever the process locale is.
//  - The locale DLL is a string-resource file: a first line
//    "FOLIVO-STRINGS 1", then lines of a decimal string id, one blank and the
//    text (escapes \\ \n \r \t \s; "#" starts a comment). Resolution order:
//    LocaleDll as given when it has an extension; else LocaleDll + "." + two
//    letters of the language + one of the country, then LocaleDll + "." +
//    two letters of the language, both from the user's locale environment
//    (LC_ALL, LC_MESSAGES, LANG: "de_AT" gives "deA" and "de"); then
//    LocaleDll + ".dll". Strings 143, 251 and 252
//    give the whitespace-class letter, the empty-expression text and the
//    locale-DLL failure text; the same file is the engine's message catalogue
//    (strings 200 + error code replace the engine's error texts). A file that
//    loads but whose catalogue is damaged gives errLocaleDll.
//  - Engine error codes of this engine generation are reported with the
//    component's documented meanings: 15 becomes errSize, every code above 17
//    becomes errUnknown; errLocaleDll only ever means the locale DLL.
//  - StringToMatch is held as a NUL-terminated text: it ends at its first NUL.
#pragma once

#include <framework/CObject.h>
#include <framework/CString.h>
#include <framework/Export.h>
#include <patternkit/FileProblems.h>
#include <patternkit/REEvent.h>
#include <patternkit/REMatch.h>

#include <locale>
#include <memory>
#include <string_view>

class CArchive;

class FOLIVO_EXPORT RegularExpression : public CObject {
public:
    // The enumerations are int-based so that any int a caller passes is a
    // value of the type; setters ignore values outside the enumerators.

    // Expression options: 0 to 12 single syntax flags, 13 to 21 presets.
    enum Options : int {
        optEscapeInLists = 0,
        optCharClasses = 1,
        optIntervals = 2,
        optLimitedOps = 3,
        optNewlineAlt = 4,
        optBkPlusQm = 5,
        optBkBraces = 6,
        optBkParens = 7,
        optBkRefs = 8,
        optBkVbar = 9,
        optLiteral = 10,
        optICase = 11,
        optNoCollate = 12,
        optBasic = 13,
        optExtended = 14,
        optNormal = 15,
        optEmacs = 16,
        optAwk = 17,
        optGrep = 18,
        optEgrep = 19,
        optSed = 20,
        optPerl = 21
    };

    enum Matches : int {
        matchDefault = 0,
        matchNotBol = 1,
        matchNotEol = 2,
        matchNotBob = 3,
        matchNotEob = 4,
        matchNotBow = 5,
        matchNotEow = 6,
        matchNotDotNewline = 7,
        matchNotDotNull = 8,
        matchAny = 9,
        matchNotNull = 10,
        matchContinuous = 11,
        matchPartial = 12
    };

    enum FormatTypes : int { formatAll = 0, formatSed = 1, formatPerl = 2 };

    enum LocaleModels : int { localeCpp = 0, localeWin32 = 1, localeC = 2 };

    enum ExpressionErrorCode {
        errNone = 0,
        errEmptyExpression = 1,
        errBadPattern = 2,
        errCollate = 3,
        errCharClass = 4,
        errEscape = 5,
        errSubReg = 6,
        errBracket = 7,
        errParen = 8,
        errBrace = 9,
        errBadBrace = 10,
        errRange = 11,
        errSpace = 12,
        errBadRepeat = 13,
        errEnd = 14,
        errRightParen = 16,
        errEmpty = 17,
        errSize = 18,
        errUnknown = 19,
        errLocaleDll = 20
    };

    // Callback pointers: the object itself comes first. The continue flag is
    // true on entry; clearing it stops the operation after this match or file.
    using MatchingCallback = void (*)(RegularExpression*, const REMatchList& matches, unsigned line,
                                      unsigned lineStart);
    using SearchingCallback = MatchingCallback;
    using GreppingCallback = void (*)(RegularExpression*, const REMatchList& matches, unsigned line, unsigned lineStart,
                                      bool& more);
    using MergingCallback = GreppingCallback;
    using GreppingFilesCallback = void (*)(RegularExpression*, const CString& fileName, const REMatchList& matches,
                                           unsigned line, bool& more);
    using FindingFilesCallback = void (*)(RegularExpression*, const CString& fileName, bool& more);
    using ChangingFilesCallback = GreppingFilesCallback;

    // Hooked handler lists, used when the event's callback pointer is null.
    REEvent<RegularExpression*, const REMatchList&, unsigned, unsigned> OnMatching;
    REEvent<RegularExpression*, const REMatchList&, unsigned, unsigned> OnSearching;
    REEvent<RegularExpression*, const REMatchList&, unsigned, unsigned, bool&> OnGrepping;
    REEvent<RegularExpression*, const REMatchList&, unsigned, unsigned, bool&> OnMerging;
    REEvent<RegularExpression*, const CString&, const REMatchList&, unsigned, bool&> OnGreppingFiles;
    REEvent<RegularExpression*, const CString&, bool&> OnFindFiles;
    REEvent<RegularExpression*, const CString&, const REMatchList&, unsigned, bool&> OnChangingFiles;

    RegularExpression();
    // Copies options, properties (not Locale), the locale DLL's texts and the
    // callback pointers; not compiled expressions, results or hooked handlers.
    RegularExpression(const RegularExpression& other);
    // As the copy constructor; the target keeps its Locale and hooked handlers.
    RegularExpression& operator=(const RegularExpression& other);
    ~RegularExpression() override;

    // Options and properties compare; Locale, callbacks, handlers, parse states
    // and results do not.
    bool operator==(const RegularExpression& other) const;

    static const CRuntimeClass classRegularExpression;
    static CObject* CreateObject();
    static const CRuntimeClass* GetThisClass();
    const CRuntimeClass* GetRuntimeClass() const override;
    // Schema 2 stores every field; schema 1 archives are read as well.
    void Serialize(CArchive& ar) override;

    // Properties. The getters return copies, never references into the object.
    void SetExpression(const CString& expression);
    CString GetExpression() const;
    void SetStringToMatch(const CString& text);
    // Takes the text over instead of copying it (a book can be large).
    void SetStringToMatch(CString&& text);
    // A copy of the whole text: a handler called for each match of a large
    // text does better to keep the text it set, or to use the match list.
    CString GetStringToMatch() const;
    void SetFormatString(const CString& format);
    CString GetFormatString() const;
    void SetFilesToMatch(const CString& files);
    CString GetFilesToMatch() const;
    void SetSaveExtension(const CString& extension);
    CString GetSaveExtension() const;
    void SetLocaleDll(const CString& name);
    CString GetLocaleDll() const;
    // A value other than the enumerators is ignored.
    void SetFormatType(FormatTypes type);
    FormatTypes GetFormatType() const;
    // Ignored while an operation runs, when unchanged and for a value other
    // than the enumerators.
    void SetLocaleModel(LocaleModels model);
    LocaleModels GetLocaleModel() const;
    void SetLocale(const std::locale& locale);
    std::locale GetLocale() const;
    void SetDirectoryRecursion(bool on);
    bool GetDirectoryRecursion() const;
    void SetContinueFiles(bool on);
    bool GetContinueFiles() const;
    void SetMergeCopy(bool on);
    bool GetMergeCopy() const;
    void SetMergeOnlyFirst(bool on);
    bool GetMergeOnlyFirst() const;
    void SetSplitInputDelete(bool on);
    bool GetSplitInputDelete() const;
    // 0 means unlimited. The count is held in 32 bits: a larger one is kept
    // as 0xFFFFFFFF, the largest limit there is.
    void SetMaximumSplits(unsigned long count);
    unsigned long GetMaximumSplits() const;

    // Option sets, kept consistent: presets and their single flags follow each other.
    void AddExpressionOption(Options option);
    void DeleteExpressionOption(Options option);
    bool IsExpressionOption(Options option) const;
    void ClearExpressionOptions();
    void AddMatchOption(Matches option);
    void DeleteMatchOption(Matches option);
    bool IsMatchOption(Matches option) const;
    void ClearMatchOptions();

    // The engine flag words in the classic encoding (regbase syntax flags with
    // use_except; match flags, with match_partial only when allowed).
    unsigned long CompileFlags() const;
    unsigned long MatchFlags(bool allowPartial) const;
    // True while Match, MatchAll, Search, Grep, Merge or ChangeFiles runs the engine.
    bool IsBusy() const;

    // Compilation (lazy, per locale model).
    ExpressionErrorCode ParseExpression();
    CString GetExpressionError() const;
    // Parenthesised sub-expressions of the compiled expression, 0 on error.
    unsigned NumberOfSubexpressions();
    unsigned NumberOfSubexpressions() const;

    // Matching, substitution and splitting over StringToMatch.
    bool Match();
    bool MatchAll();
    bool Search();
    unsigned Grep();
    // Grep over `text` instead of StringToMatch, every byte of it, NUL bytes
    // included, without copying it: the caller keeps it alive and unchanged
    // until the call returns. Positions are offsets into `text`;
    // StringToMatch stays as it was.
    unsigned Grep(std::string_view text);
    // True when the latest Grep stopped early because the engine met its
    // complexity or stack limit; the matches before that point were delivered.
    bool GrepGaveUp() const;
    void Merge(CString& out);
    // Expands FormatString for the match being reported (empty elsewhere).
    void Format(CString& out) const;
    unsigned Split(CStringArray& out);

    // File operations over FilesToMatch (see FileProblems.h for how files are
    // named, searched and rewritten). Each returns its count: files with a
    // match, matches, replacements written. One file operation of an object
    // runs at a time: called from its own handler another one returns 0.
    unsigned FindFiles();
    unsigned GrepFiles();
    unsigned ChangeFiles();
    // The problems of the last run of each operation; null when there were none.
    const FileSearchProblemList* GetFindFilesErrors() const;
    const FileSearchProblemList* GetGrepFilesErrors() const;
    const FileChangeProblemList* GetChangeFilesErrors() const;

    // Callback pointers (null delivers to the hooked handlers instead).
    void SetOnMatching(MatchingCallback callback);
    MatchingCallback GetOnMatching() const;
    void SetOnSearching(SearchingCallback callback);
    SearchingCallback GetOnSearching() const;
    void SetOnGrepping(GreppingCallback callback);
    GreppingCallback GetOnGrepping() const;
    void SetOnMerging(MergingCallback callback);
    MergingCallback GetOnMerging() const;
    void SetOnGreppingFiles(GreppingFilesCallback callback);
    GreppingFilesCallback GetOnGreppingFiles() const;
    void SetOnFindingFiles(FindingFilesCallback callback);
    FindingFilesCallback GetOnFindingFiles() const;
    void SetOnChangingFiles(ChangingFilesCallback callback);
    ChangingFilesCallback GetOnChangingFiles() const;

    // Unhooks every handler that receiver hooked, from all seven lists.
    void __RemoveAllEventHandlers(const void* receiver);

    struct State;

private:
    unsigned GrepRange(const char* first, const char* last);

    std::unique_ptr<State> m_state;
};
