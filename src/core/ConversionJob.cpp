#include <core/ConversionJob.h>
#include <core/FileIdentity.h>
#include <core/TextLines.h>

#include <core/ProgressSink.h>
#include <core/WizardPages.h>
#include <palm/EbookWriters.h>
#include <palm/HotSync.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <documents/Document.h>

#include "BookmarkFile.h"
#include "HandheldCharset.h"
#include "TempFiles.h"
#include "TextPreparation.h"

namespace folivo {

namespace {

// Reads the whole file into `bytes`, with one zero byte after the text so
// that it can be searched as a NUL-terminated string. A file of more than
// maxSize bytes is refused before it is read.
int ReadSource(const CString& path, std::string& bytes, std::uint64_t maxSize, CString& problem)
{
    if (const platform::FileError error = platform::ReadWholeFile(path, bytes, maxSize)) {
        if (error.code == ENOMEM) {
            problem = "the document does not fit in memory";
            return kConversionOutOfMemory;
        }
        problem = error.code == EFBIG ? DocumentTooLarge(maxSize) : error.Reason();
        return kConversionFileNotOpened;
    }
    // The reader leaves room for the zero byte, so this never copies the text.
    bytes.push_back('\0');
    return kConversionDone;
}

// An existing database loses its read-only state, as the writers replace it.
void MakeWritable(const CString& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

void RemoveFile(CString& path, platform::RemovedOnInterrupt& removal)
{
    if (!path.empty())
        ::unlink(path.c_str());
    path.clear();
    removal.Release();
}

// The document in the hand-held's character set, when it is Unicode text;
// any other document stays as it is. Returns the replacements. Each of
// `places` (ascending offsets, at character boundaries) moves to where its
// character went: conversion goes character by character, so converting the
// text piece by piece between places gives the same text.
std::size_t ToHandheldText(std::string& bytes, std::vector<std::size_t>& places)
{
    const std::string_view text(bytes.data(), bytes.size() - 1);
    const TextEncoding encoding = DetectEncoding(text);
    if (encoding == TextEncoding::EightBit)
        return 0;
    std::string converted;
    converted.reserve(bytes.size());
    std::size_t replaced = 0;
    std::size_t from = 0;
    for (std::size_t& place : places) {
        // A database's own bookmark may point inside a character; it goes to
        // the start of its line anyway, so to the character's start first.
        while (encoding == TextEncoding::Utf8 && place > from &&
               (static_cast<unsigned char>(text[place]) & 0xC0) == 0x80)
            --place;
        replaced += ToHandheldCharset(text.substr(from, place - from), encoding, converted);
        from = place;
        place = converted.size();
    }
    replaced += ToHandheldCharset(text.substr(from), encoding, converted);
    converted.push_back('\0');
    bytes.swap(converted);
    return replaced;
}

// Makes the document of the file `source` from its `bytes` (with their zero
// byte, as ReadSource leaves them), in place: its text, in `places` the
// bookmarks it holds and, when the rules ask for them, the places it names
// itself, and in `report` what could not be read of it or why it cannot be
// read at all. A laid-out text has no tags left to remove.
int OpenSource(const CString& source, std::string& bytes, std::uint64_t maxText, bool salvage,
               ConversionSettings& rules, std::vector<NamedPlace>& places, ConversionReport& report)
{
    bytes.pop_back();
    documents::Document document;
    const documents::OpenOptions options{rules.htmlLayout, static_cast<std::size_t>(maxText), salvage};
    if (std::string why = documents::OpenDocument(platform::FileNameOf(source), std::move(bytes), options, document);
        !why.empty()) {
        report.problem = why;
        report.salvageable = document.salvageable;
        return kConversionDocumentUnreadable;
    }
    bytes = std::move(document.text);
    bytes.push_back('\0');
    report.documentWarnings = std::move(document.warnings);
    if (document.laidOut)
        rules.removeHtmlTags = false;
    places.clear();
    if (rules.contentsBookmarks)
        for (documents::Mark& mark : document.marks)
            places.push_back({mark.offset, std::move(mark.name)});
    for (documents::Mark& mark : document.bookmarks)
        places.push_back({mark.offset, std::move(mark.name), true});
    std::stable_sort(places.begin(), places.end(),
                     [](const NamedPlace& a, const NamedPlace& b) { return a.offset < b.offset; });
    return kConversionDone;
}

// A place's name as a bookmark holds it: in the hand-held's character set
// when the text is, and no longer than the longest name a format keeps, cut
// at a character's end.
CString PlaceName(const CString& name, bool handheldCharset)
{
    CString text = handheldCharset ? CString(ToHandheldString(name)) : name;
    std::size_t end = std::min(text.size(), palm::kZtxtBookmarkName);
    while (!handheldCharset && end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

std::uint32_t RecordSizeOf(std::int32_t blockSizeKB)
{
    // Sizes the writers refuse stay refused: 0 is out of their range too.
    return blockSizeKB > 0 && blockSizeKB <= 1024 ? static_cast<std::uint32_t>(blockSizeKB) * 1024 : 0;
}

}  // namespace

Error DatabaseProblem(const ConversionReport& report)
{
    if (report.result != kConversionDone)
        return Error::Failure(report.problem);
    if (!report.databaseWritten)
        return Error::Failure(palm::Message(report.writer));
    return {};
}

std::uint64_t MostDocumentBytes(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    // Entire-document zTXT cuts one compressed stream into records: only its
    // 32-bit text length bounds it.
    if (format == DocumentFormat::zTXT && compress == 0)
        return UINT32_MAX;
    return palm::MaxTextLength(RecordSizeOf(blockSizeKB));
}

CString DocumentTooLarge(std::uint64_t maxSize)
{
    return "the document is larger than the " + std::to_string(maxSize) +
           " bytes of text a database can hold at this record size";
}

ConversionJob::ConversionJob(BookmarkList& bookmarks) : m_bookmarks(bookmarks) {}

ConversionJob::~ConversionJob()
{
    RemoveFile(bookmarkFilePath, m_bookmarkFileRemoval);
    DeleteTextFile();
}

void ConversionJob::DeleteTextFile()
{
    RemoveFile(textFilePath, m_textFileRemoval);
}

int ConversionJob::RunConversion(const CString& source, const CString& outputPath, const CString& runTitle,
                                 DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    m_report = ConversionReport{};
    // The previous run's prepared text has had its preview; only the latest is kept.
    DeleteTextFile();

    // Whichever way the run was started, a database never takes the place of
    // its own document, under any name or link.
    if (format == DocumentFormat::PalmDoc || format == DocumentFormat::zTXT) {
        if (const Error refusal = DatabaseReplacesDocument(source, outputPath); refusal && !m_sourceMayBeReplaced) {
            m_report.problem = refusal.Message();
            return m_report.result = kConversionOwnDocument;
        }
    }
    std::string bytes;
    m_report.result = ReadSource(source, bytes, MostDocumentBytes(format, blockSizeKB, compress), m_report.problem);
    if (m_report.result != kConversionDone)
        return m_report.result;
    m_report.sourceLength = bytes.size() - 1;

    ConversionSettings rules;
    ResolveTextRules(rules, m_pages);
    rules.contentsBookmarks = ResolveContentsBookmarks(m_pages);
    std::vector<NamedPlace> places;
    std::vector<std::size_t> offsets;
    try {
        m_report.result = OpenSource(source, bytes, MostDocumentBytes(format, blockSizeKB, compress), m_salvage, rules,
                                     places, m_report);
        if (m_report.result != kConversionDone)
            return m_report.result;
        for (const NamedPlace& place : places)
            offsets.push_back(place.offset);
        if (rules.handheldCharset)
            m_report.replacedCharacters = ToHandheldText(bytes, offsets);
    } catch (const std::bad_alloc&) {
        m_report.problem = "the document does not fit in memory";
        return m_report.result = kConversionOutOfMemory;
    }
    bool keepList = false;
    const std::size_t p =
        PrepareText(source, reinterpret_cast<unsigned char*>(bytes.data()), bytes.size() - 1, rules, offsets, keepList);
    bytes[p] = '\0';
    m_report.preparedLength = p;

    if (Error error = WriteTemporaryFile(std::string_view(bytes.data(), p), platform::FolderOf(outputPath),
                                         textFilePath, m_textFileRemoval)) {
        m_report.problem = "no folder could take the prepared text: " + error.Message();
        return m_report.result = kConversionFileNotOpened;
    }

    std::vector<std::int32_t> placeLines;
    if (!keepList && !places.empty()) {
        for (std::size_t k = 0; k < places.size(); ++k) {
            places[k].offset = offsets[k];
            places[k].name = PlaceName(places[k].name, rules.handheldCharset);
        }
        const int before = m_bookmarks.Count();
        std::size_t heldLeftOut = 0;
        placeLines = AddPlaceBookmarks(m_bookmarks, bytes.data(), p, places, &heldLeftOut);
        m_report.contentsBookmarks = m_bookmarks.Count() - before;
        if (heldLeftOut != 0)
            m_report.documentWarnings.push_back(
                std::to_string(heldLeftOut) +
                (heldLeftOut == 1 ? " of its bookmarks points past the last line of the text and was left out"
                                  : " of its bookmarks point past the last line of the text and were left out"));
    }
    if (!bookmarkPatterns.empty() && !keepList)
        GenerateBookmarks(bytes.data(), p, bookmarkPatterns, std::move(placeLines));
    const Error bookmarkFileError = WriteBookmarkFile(format, std::string_view(bytes.data(), p));
    std::string().swap(bytes);

    if (format == DocumentFormat::PalmDoc || format == DocumentFormat::zTXT) {
        if (!bookmarkFileError) {
            MakeWritable(outputPath);
            WriteDatabase(outputPath, runTitle, format, blockSizeKB, compress);
            if (m_report.databaseWritten)
                Install(outputPath);
        } else {
            // A database without the bookmarks it was asked for would pass for a good one.
            m_report.problem =
                "no folder could take the bookmark file (" + bookmarkFileError.Message() + "); no database was written";
            m_report.result = kConversionFileNotOpened;
        }
    }
    RemoveFile(bookmarkFilePath, m_bookmarkFileRemoval);
    return m_report.result;
}

int ConversionJob::ConvertFromPages(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    const bool fromPages = m_pages && m_pages->DocumentPageExists();
    const CString outputPath = fromPages ? m_pages->OutputPathText() : OutputPathOf(sourcePath);
    const CString runTitle = fromPages ? m_pages->TitleText() : title;
    return RunConversion(sourcePath, outputPath, runTitle, format, blockSizeKB, compress);
}

Error ConversionJob::MeasureDatabaseSize(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress,
                                         long long& size)
{
    // An empty file reserves a unique name for the writer to replace.
    CString database;
    platform::RemovedOnInterrupt removal;
    if (Error error = WriteTemporaryFile({}, platform::FolderOf(sourcePath), database, removal))
        return error;
    m_measuring = true;
    RunConversion(sourcePath, database, "Title", format, blockSizeKB, compress);
    m_measuring = false;
    // Nobody previews a measurement's text.
    DeleteTextFile();
    Error result = DatabaseProblem(m_report);
    if (struct stat st; !result) {
        if (::stat(database.c_str(), &st) == 0)
            size = st.st_size;
        else
            result = Error::Failure(database + ": " + std::strerror(errno));
    }
    RemoveFile(database, removal);
    return result;
}

std::size_t ConversionJob::PrepareText(const CString& source, unsigned char* buffer, std::size_t n,
                                       const ConversionSettings& rules, std::vector<std::size_t>& places,
                                       bool& keepList)
{
    ProgressScope bar(m_progress, sourceFileName, 0, 20, 1);
    m_rules = rules;
    PreparationDetails details;
    details.places = &places;
    const std::size_t m = PrepareTextBytes(buffer, n, rules, &bar, &details);
    m_report.replacedCharacters += details.replaced;
    m_report.unclosedHtmlTag = details.unclosedTag;
    bookmarkPatterns = ResolveBookmarkPatterns(m_pages, bookmarkPatterns);
    const std::string_view prepared(reinterpret_cast<const char*>(buffer), m);
    const ListSource made{source,
                          m,
                          std::hash<std::string_view>{}(prepared),
                          bookmarkPatterns,
                          rules.handheldCharset,
                          rules.contentsBookmarks};
    m_bookmarks.SetDocument(source);
    keepList = m_listSource == made;
    if (!keepList) {
        m_bookmarks.RemoveGenerated();
        m_bookmarks.RemoveBeyond(static_cast<std::int32_t>(std::min<std::size_t>(m, INT32_MAX)));
    }
    m_listSource = made;
    return m;
}

RegularExpression::ExpressionErrorCode PrepareBookmarkPattern(RegularExpression& pattern, const CString& patternText,
                                                              bool handheldCharset)
{
    pattern.SetLocaleModel(RegularExpression::localeWin32);
    pattern.ClearExpressionOptions();
    pattern.AddExpressionOption(RegularExpression::optPerl);
    pattern.AddExpressionOption(RegularExpression::optICase);
    pattern.SetExpression(handheldCharset ? CString(ToHandheldString(patternText)) : patternText);
    return pattern.ParseExpression();
}

CString BookmarkPatternProblem(const CString& patternText, bool handheldCharset)
{
    RegularExpression pattern;
    if (patternText.empty() ||
        PrepareBookmarkPattern(pattern, patternText, handheldCharset) == RegularExpression::errNone)
        return {};
    return pattern.GetExpressionError();
}

CString ConversionJob::NextPatternProblem() const
{
    ConversionSettings rules;
    ResolveTextRules(rules, m_pages);
    return BookmarkPatternProblem(ResolveBookmarkPatterns(m_pages, bookmarkPatterns), rules.handheldCharset);
}

void ConversionJob::GenerateBookmarks(const char* buffer, std::size_t length, const CString& patternText,
                                      std::vector<std::int32_t> taken)
{
    m_report.patternError = PrepareBookmarkPattern(pattern, patternText, m_rules.handheldCharset);
    if (m_report.patternError != RegularExpression::errNone)
        m_report.patternErrorText = pattern.GetExpressionError();
    // The whole text, past any NUL byte the text rules let through.
    m_scanText = std::string_view(buffer, length);
    m_scanBase = 0;
    m_scanEnd = 0;
    m_matchBookmarks.emplace(m_bookmarks, buffer, length, std::move(taken));
    const int before = m_bookmarks.Count();
    pattern.OnGrepping.Hook(this, [this](RegularExpression*, const REMatchList& matches, unsigned, unsigned,
                                         bool& more) { OnGrepMatch(matches, more); });
    pattern.Grep(m_scanText);
    if (pattern.GrepGaveUp())
        ScanLineByLine();
    pattern.OnGrepping.Unhook(this);
    m_matchBookmarks.reset();
    m_scanText = {};
    m_report.generatedBookmarks = m_bookmarks.Count() - before;
}

const ConversionReport& ConversionJob::ScanBookmarks(const std::string& text, const CString& patternText,
                                                     bool handheldCharset, std::vector<std::int32_t> taken)
{
    m_report = ConversionReport{};
    m_rules.handheldCharset = handheldCharset;
    // A std::string's bytes are followed by a NUL, as the scan wants.
    GenerateBookmarks(text.c_str(), text.size(), patternText, std::move(taken));
    return m_report;
}

void ConversionJob::ScanLineByLine()
{
    // The engine gave up after the end of the last match it found, which may
    // lie inside a line: the scan starts again with that whole line. From here
    // on one line the engine cannot handle costs only that line. Lines end
    // where the engine's ^ and $ see them end, at a lone CR too.
    const TextLines lines(m_scanText);
    const int first = m_scanEnd == 0 ? 0 : lines.LineOf(static_cast<std::int32_t>(m_scanEnd - 1));
    for (int line = first; line < lines.Count(); ++line) {
        m_scanBase = static_cast<std::size_t>(lines.Start(line));
        // The empty line after a final line break is no line of the text.
        if (m_scanBase == m_scanText.size())
            break;
        pattern.Grep(m_scanText.substr(m_scanBase, static_cast<std::size_t>(lines.Length(line))));
        if (pattern.GrepGaveUp())
            m_report.skippedLines.push_back(static_cast<unsigned>(line) + 1);
    }
}

void ConversionJob::OnGrepMatch(const REMatchList& matches, bool& more)
{
    more = true;
    if (matches.empty() || matches[0].position < 0)
        return;
    const std::size_t at = m_scanBase + static_cast<std::size_t>(matches[0].position);
    m_matchBookmarks->Add(at);
    m_scanEnd = std::max(m_scanEnd, at + matches[0].text.size());
}

Error ConversionJob::WriteBookmarkFile(DocumentFormat format, std::string_view text)
{
    RemoveFile(bookmarkFilePath, m_bookmarkFileRemoval);
    return folivo::WriteBookmarkFile(m_bookmarks, format, text, sourcePath, bookmarkFilePath, m_bookmarkFileRemoval);
}

void ConversionJob::WriteDatabase(const CString& outputPath, const CString& runTitle, DocumentFormat format,
                                  std::int32_t blockSizeKB, std::int32_t compress)
{
    ProgressScope bar(m_progress, sourceFileName, 0, 1, 1);
    palm::WriteRequest request;
    request.textPath = textFilePath;
    request.outputPath = outputPath;
    // The title the writer would derive from the file name is converted too.
    const CString title = runTitle.empty() ? palm::TitleFromOutputPath(outputPath) : runTitle;
    request.title = m_rules.handheldCharset ? CString(ToHandheldString(title)) : title;
    request.recordSize = RecordSizeOf(blockSizeKB);
    if (format == DocumentFormat::PalmDoc) {
        request.bookmarkPath = bookmarkFilePath;
        m_report.writer = palm::WritePalmDoc(request, compress == 1);
    } else {
        // The zTXT writer is told of no bookmark file while the list is empty.
        request.bookmarkPath = m_bookmarks.IsEmpty() ? CString() : bookmarkFilePath;
        m_report.writer =
            palm::WriteZtxt(request, compress ? palm::ZtxtMode::RandomAccess : palm::ZtxtMode::EntireDocument);
    }
    bar.StepIt();
    m_report.databaseWritten = m_report.writer.Ok();
}

void ConversionJob::Install(const CString& databasePath)
{
    if (m_measuring || !m_pages || !m_pages->DocumentPageExists() || !m_pages->AutoInstallChecked())
        return;
    // The database this run wrote, wherever the user chose to put it.
    m_report.installRequested = true;
    m_report.install = palm::InstallDatabase(m_pages->InstallUserText(), databasePath);
}

}  // namespace folivo
