// One document's conversion: its names, the temporary files of its latest run
// and the pattern object every run's bookmark scan reuses. The wizard owns
// one per document; the command line makes one per file.
//
// A run reads the source's bytes, applies the text rules, keeps the prepared
// text in a temporary file (for the preview), makes the generated bookmarks,
// hands both to the PalmDoc or zTXT writer and, when the wizard asks for it,
// queues the database for the hand-held. It shows no message: what happened
// is in LastReport().
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <core/Error.h>
#include <framework/CString.h>
#include <palm/PalmResult.h>
#include <patternkit/RegularExpression.h>
#include <platform/Interruption.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace folivo {

class ProgressSink;
class WizardPages;

// Results of RunConversion.
enum ConversionResult : int {
    kConversionDone = 0,
    kConversionFileNotOpened = 6,       // the source or the prepared-text file could not be opened
    kConversionOwnDocument = 7,         // the database would replace the document itself; nothing was read
    kConversionOutOfMemory = 8,         // the document did not fit in memory; nothing was written
    kConversionDocumentUnreadable = 9,  // the document cannot be read as what it is (a damaged EPUB book)
};

// What the latest run did, for the command line and the tests.
struct ConversionReport {
    int result = kConversionDone;
    CString problem;  // why the run ended early, for people
    // The document is a damaged database that salvage would read in part.
    bool salvageable = false;
    std::size_t sourceLength = 0;
    std::size_t preparedLength = 0;
    // Characters of a Unicode document or of HTML character references that
    // the hand-held's character set lacks: written in a plain form or as '?'.
    std::size_t replacedCharacters = 0;
    // The start of the first HTML tag or comment that never closes (kept as
    // text, with what follows it), when tags are removed; else empty.
    CString unclosedHtmlTag;
    int generatedBookmarks = 0;  // entries the pattern scan made
    int contentsBookmarks = 0;   // entries the document's own contents or bookmarks gave
    // What could not be read of a document read in part (an EPUB book's
    // missing chapter): the database lacks it.
    std::vector<std::string> documentWarnings;
    RegularExpression::ExpressionErrorCode patternError = RegularExpression::errNone;
    CString patternErrorText;  // the engine's text when the pattern did not compile
    // Lines (1 for the first) the engine gave up on as too complex to search:
    // a bookmark they would give is missing.
    std::vector<unsigned> skippedLines;
    bool databaseWritten = false;
    palm::Result writer;  // the writer's outcome, when it ran
    bool installRequested = false;
    palm::Result install;  // the install queue's outcome, when asked
};

// Why the run that made `report` wrote no database; success when it wrote one.
Error DatabaseProblem(const ConversionReport& report);

// The largest document a run with these arguments reads: the most text its
// database can hold. A larger one could become a database only if the text
// rules cut much of it away (HTML tags), and reading it would fill memory
// first, so it is refused before it is read.
std::uint64_t MostDocumentBytes(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress);
// Why a document of more than maxSize (MostDocumentBytes) bytes is refused,
// for people, wherever it comes from.
CString DocumentTooLarge(std::uint64_t maxSize);

// Sets `pattern` up as every bookmark scan runs it (Perl syntax, case
// ignored, 8-bit text) with `patternText` as its expression, and compiles it.
// In the hand-held's character set a pattern written in UTF-8 is converted
// as the text is, so that it matches the converted text.
RegularExpression::ExpressionErrorCode PrepareBookmarkPattern(RegularExpression& pattern, const CString& patternText,
                                                              bool handheldCharset);
// Why `patternText` cannot be a bookmark scan's pattern, in the engine's
// words; empty when it can (an empty text asks for no scan).
CString BookmarkPatternProblem(const CString& patternText, bool handheldCharset);

class ConversionJob {
public:
    // Generated bookmarks go to `bookmarks`: the program's one list unless
    // the caller (a batch, a test) brings its own.
    explicit ConversionJob(BookmarkList& bookmarks = BookmarkList::Instance());
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;
    ~ConversionJob();

    // The document, set by the starter before any run.
    CString sourcePath;
    CString sourceFileName;
    CString title;
    CString proposedOutputPath;
    // The pattern text of the latest run.
    CString bookmarkPatterns;
    // The prepared text of the latest run; it stays for the preview until the
    // starter calls DeleteTextFile.
    CString textFilePath;
    // The bookmark file of the latest run while it runs; gone afterwards.
    CString bookmarkFilePath;
    RegularExpression pattern;

    // The wizard's pages (null: every option comes from the stored defaults)
    // and where progress is shown (null: nowhere). Neither is owned.
    void SetPages(const WizardPages* pages) { m_pages = pages; }
    void SetProgress(ProgressSink* progress) { m_progress = progress; }
    // A damaged Palm database gives what can be read of it, with a document
    // warning, instead of being refused.
    void SetSalvage(bool salvage) { m_salvage = salvage; }
    // The document is a Palm database that the user named as the output too:
    // the new database replaces it, as it replaces any output. Otherwise a
    // database never takes the place of its document.
    void SetSourceMayBeReplaced(bool mayBe) { m_sourceMayBeReplaced = mayBe; }

    // The whole job. Returns a ConversionResult.
    //
    // The bookmark list belongs to the document: a run empties it when it
    // held another one's entries. When the prepared text and the pattern
    // text are those of the previous run, the list stays as the user left it
    // (entries renamed, deleted or added in the preview) and no scan runs;
    // otherwise the generated entries are made afresh and entries made by
    // hand stay where they still lie inside the text. When the engine gives
    // up as the text is too complex to search, the scan goes on line by line
    // after the last match, and the lines it gives up on are reported
    // (skippedLines).
    int RunConversion(const CString& sourcePath, const CString& outputPath, const CString& title, DocumentFormat format,
                      std::int32_t blockSizeKB, std::int32_t compress);
    // Runs the job with the output path and title of the document page.
    int ConvertFromPages(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress);
    // Converts into a temporary database titled "Title", only to learn its
    // size in bytes; nothing is queued for the hand-held, and the database
    // and the prepared text are deleted. Fails, naming why, when no database
    // came of it.
    Error MeasureDatabaseSize(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress, long long& size);

    // Deletes the prepared-text file of the latest run.
    void DeleteTextFile();

    // A run's bookmark scan alone, over `text` (a database's, say): the
    // entries `patternText` generates go to the job's list, none on the lines
    // starting at `taken` (ascending), with the pattern converted as a run in
    // the hand-held's character set converts it when handheldCharset says so.
    // The report tells the entries made, the pattern's error and the lines
    // the engine gave up on; nothing else of it is set.
    const ConversionReport& ScanBookmarks(const std::string& text, const CString& patternText, bool handheldCharset,
                                          std::vector<std::int32_t> taken = {});

    const ConversionReport& LastReport() const { return m_report; }
    // BookmarkPatternProblem of the pattern text the next run would scan with,
    // as the pages or the store give it.
    CString NextPatternProblem() const;

private:
    // Applies the text rules to the document's bytes, in place, and returns
    // the prepared length; `places` (ascending offsets) follow their bytes;
    // `keepList` tells whether the bookmark list stays.
    std::size_t PrepareText(const CString& source, unsigned char* buffer, std::size_t n,
                            const ConversionSettings& rules, std::vector<std::size_t>& places, bool& keepList);
    // The pattern's bookmarks, none on the lines starting at `taken` (ascending).
    void GenerateBookmarks(const char* buffer, std::size_t length, const CString& patternText,
                           std::vector<std::int32_t> taken);
    // One generated bookmark for a match of the running scan.
    void OnGrepMatch(const REMatchList& matches, bool& more);
    // Sets bookmarkFilePath; fails when no folder could take the file.
    Error WriteBookmarkFile(DocumentFormat format, std::string_view text);
    void WriteDatabase(const CString& outputPath, const CString& title, DocumentFormat format, std::int32_t blockSizeKB,
                       std::int32_t compress);
    void Install(const CString& databasePath);
    void ScanLineByLine();

    BookmarkList& m_bookmarks;
    const WizardPages* m_pages = nullptr;
    ProgressSink* m_progress = nullptr;
    bool m_measuring = false;
    bool m_salvage = false;
    bool m_sourceMayBeReplaced = false;
    // What the bookmark list was last made from.
    struct ListSource {
        CString document;
        std::size_t textLength = 0;
        std::size_t textHash = 0;
        CString patterns;
        bool handheldCharset = true;
        bool contents = true;
        bool operator==(const ListSource&) const = default;
    };
    std::optional<ListSource> m_listSource;
    // The text rules of the running job.
    ConversionSettings m_rules;
    // An interrupted program leaves none of the job's temporary files behind.
    platform::RemovedOnInterrupt m_textFileRemoval;
    platform::RemovedOnInterrupt m_bookmarkFileRemoval;
    // The text of the running bookmark scan, the offset in it of the text
    // the engine searches now, and the end of the last match found.
    std::string_view m_scanText;
    std::size_t m_scanBase = 0;
    std::size_t m_scanEnd = 0;
    std::optional<MatchBookmarks> m_matchBookmarks;
    ConversionReport m_report;
};

}  // namespace folivo
