// folivo bookmarks BOOK.pdb [EDITS]: lists a database's bookmarks, or edits
// them and writes the database back once, when every edit has worked.
#include "Arguments.h"
#include "BookmarkListing.h"
#include "Commands.h"
#include "DatabaseInput.h"
#include "Usage.h"

#include <core/ConversionJob.h>
#include <core/NameCharacters.h>
#include <palm/BookmarkRewrite.h>
#include <palm/EbookWriters.h>
#include <platform/Files.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <unistd.h>

namespace folivo::cli {

namespace {

constexpr std::array kBookmarksOptions{
    OptionDefinition{"--add", true, 2}, OptionDefinition{"--rename", true, 2}, OptionDefinition{"--delete", true},
    OptionDefinition{"--clear", false}, OptionDefinition{"--import", true},    OptionDefinition{"--from-pattern", true},
};

// A list names every bookmark in a few dozen bytes: this is far more than
// the most bookmarks a database holds.
constexpr std::uint64_t kMostListingBytes = 64 << 20;

using Bookmarks = std::vector<palm::StoredBookmark>;

// How messages name an edit: as it was typed.
std::string EditName(const ParsedOption& edit)
{
    std::string name = edit.name;
    const auto add = [&name](const std::string& value) {
        const bool quoted = value.empty() || value.find(' ') != std::string::npos;
        name += quoted ? " '" + value + "'" : ' ' + value;
    };
    if (edit.name != "--clear")
        add(edit.value);
    for (const std::string& value : edit.moreValues)
        add(value);
    return name;
}

// What the command line can tell wrong before the database is read.
Error CheckEdit(const ParsedOption& edit)
{
    long long number = 0;
    if (edit.name == "--add" && !ParseDecimal(edit.value, 0, UINT32_MAX, number))
        return Error::Failure("'" + edit.value + "' is no position (a byte offset into the text)");
    if ((edit.name == "--rename" || edit.name == "--delete") && !ParseDecimal(edit.value, 1, UINT32_MAX, number))
        return Error::Failure("'" + edit.value + "' is no bookmark number (1 for the first)");
    if (edit.name == "--import" && edit.value.empty())
        return Error::Failure("no list file given");
    if (edit.name == "--from-pattern") {
        if (edit.value.empty())
            return Error::Failure("no pattern given");
        if (const CString problem = BookmarkPatternProblem(edit.value, true); !problem.empty())
            return Error::Failure("invalid pattern: " + problem);
    }
    return {};
}

class Editor {
public:
    explicit Editor(const palm::EbookInfo& book)
        : m_book(book), m_list(book.bookmarks),
          m_nameLimit(book.format == palm::EbookFormat::PalmDoc ? palm::kPalmDocBookmarkName : palm::kZtxtBookmarkName)
    {
    }

    // Applies one edit; fails, changing nothing, saying why.
    Error Apply(const ParsedOption& edit)
    {
        m_edit = EditName(edit);
        Error error;
        if (edit.name == "--add")
            error = Add(edit.value, edit.moreValues[0]);
        else if (edit.name == "--rename")
            error = Rename(edit.value, edit.moreValues[0]);
        else if (edit.name == "--delete")
            error = Delete(edit.value);
        else if (edit.name == "--clear")
            m_list.clear();
        else if (edit.name == "--import")
            error = Import(edit.value);
        else
            error = FromPattern(edit.value);
        // zTXT keeps its bookmarks by position: numbers count them so, as the
        // database will list them.
        if (m_book.format == palm::EbookFormat::Ztxt)
            std::stable_sort(m_list.begin(), m_list.end(),
                             [](const auto& a, const auto& b) { return a.offset < b.offset; });
        return error;
    }

    const Bookmarks& List() const { return m_list; }

private:
    Error Add(const std::string& position, const std::string& typed)
    {
        const auto offset = static_cast<std::uint32_t>(std::stoull(position));
        if (offset > m_book.text.size())
            return Error::Failure("position " + position + " is past the end of the text (" +
                                  std::to_string(m_book.text.size()) + " bytes)");
        Insert({{TypedName(typed), offset}});
        return {};
    }

    Error Rename(const std::string& number, const std::string& typed)
    {
        std::size_t index = 0;
        if (Error error = Index(number, index))
            return error;
        m_list[index].name = TypedName(typed);
        return {};
    }

    Error Delete(const std::string& number)
    {
        std::size_t index = 0;
        if (Error error = Index(number, index))
            return error;
        m_list.erase(m_list.begin() + static_cast<std::ptrdiff_t>(index));
        return {};
    }

    Error Import(const std::string& path)
    {
        std::string text;
        const platform::FileError read = path == kStandardStream
                                             ? platform::ReadAll(STDIN_FILENO, text, kMostListingBytes)
                                             : platform::ReadWholeFile(path, text, kMostListingBytes);
        if (read)
            return Error::Failure("cannot read " + StreamName(path) + ": " + read.Reason());
        Bookmarks imported;
        std::size_t replaced = 0;
        if (Error error =
                ReadBookmarkListing(text, static_cast<std::uint32_t>(m_book.text.size()), imported, &replaced))
            return error;
        WarnReplaced(replaced);
        for (palm::StoredBookmark& bookmark : imported)
            bookmark.name = Fitted(std::move(bookmark.name));
        m_list = std::move(imported);
        return {};
    }

    // The scan a conversion runs with a bookmark pattern, over the text as
    // the database holds it; a line that holds a bookmark already gets none.
    Error FromPattern(const std::string& pattern)
    {
        std::vector<std::int32_t> taken;
        for (const palm::StoredBookmark& bookmark : m_list)
            taken.push_back(static_cast<std::int32_t>(bookmark.offset));
        std::sort(taken.begin(), taken.end());
        BookmarkList found;
        ConversionJob job(found);
        const ConversionReport& report = job.ScanBookmarks(m_book.text, pattern, true, std::move(taken));
        if (!report.skippedLines.empty()) {
            std::string lines;
            for (const unsigned line : report.skippedLines)
                lines += (lines.empty() ? "" : ", ") + std::to_string(line);
            return Error::Failure("the pattern is too complex to search line" +
                                  std::string(report.skippedLines.size() == 1 ? " " : "s ") + lines);
        }
        Bookmarks added;
        for (int i = 0; i < found.Count(); ++i)
            added.push_back({Fitted(found.At(i)->name), static_cast<std::uint32_t>(found.At(i)->position)});
        std::stable_sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
        Insert(added);
        return {};
    }

    Error Index(const std::string& number, std::size_t& index) const
    {
        const unsigned long long n = std::stoull(number);
        if (n > m_list.size())
            return Error::Failure("there is no bookmark " + number + " (the list holds " +
                                  std::to_string(m_list.size()) + ")");
        index = static_cast<std::size_t>(n - 1);
        return {};
    }

    // Each of `added` (ascending) before the first bookmark of the list
    // further on, so that a list in text order stays so; in one pass, as a
    // pattern may add a bookmark for every line.
    void Insert(const Bookmarks& added)
    {
        // The first bookmark beyond an offset is the first whose running
        // maximum passes it.
        std::vector<std::uint32_t> reach;
        reach.reserve(m_list.size());
        for (const palm::StoredBookmark& b : m_list)
            reach.push_back(std::max(reach.empty() ? 0 : reach.back(), b.offset));
        Bookmarks merged;
        merged.reserve(m_list.size() + added.size());
        std::size_t next = 0;
        for (const palm::StoredBookmark& bookmark : added) {
            const auto slot =
                static_cast<std::size_t>(std::upper_bound(reach.begin(), reach.end(), bookmark.offset) - reach.begin());
            for (; next < slot; ++next)
                merged.push_back(std::move(m_list[next]));
            merged.push_back(bookmark);
        }
        for (; next < m_list.size(); ++next)
            merged.push_back(std::move(m_list[next]));
        m_list = std::move(merged);
    }

    std::string TypedName(const std::string& typed)
    {
        std::size_t replaced = 0;
        std::string name = HandheldName(typed, &replaced);
        WarnReplaced(replaced);
        return Fitted(std::move(name));
    }

    void WarnReplaced(std::size_t replaced) const
    {
        if (replaced != 0)
            ReportWarning(m_edit + ": " + std::to_string(replaced) + (replaced == 1 ? " character" : " characters") +
                          " the hand-held's character set lacks became a plain form or '?'");
    }

    // The name cut to what the format holds, at a character's start.
    std::string Fitted(std::string name) const
    {
        const std::size_t keep = NameCut(name, m_nameLimit);
        if (keep == name.size())
            return name;
        name.resize(keep);
        ReportWarning(m_edit + ": the name is cut to " + std::to_string(m_nameLimit) +
                      " bytes: " + PrintableName(name));
        return name;
    }

    const palm::EbookInfo& m_book;
    Bookmarks m_list;
    std::size_t m_nameLimit;
    std::string m_edit;
};

}  // namespace

int RunBookmarksCommand(const ArgumentList& args)
{
    ParsedArguments parsed;
    if (Error error = ParseArguments(args, kBookmarksOptions, parsed))
        return UsageError(error.Message());
    if (parsed.operands.size() != 1)
        return UsageError("bookmarks takes one database file");
    const std::string& path = parsed.operands[0];
    for (const ParsedOption& edit : parsed.options)
        if (Error error = CheckEdit(edit))
            return UsageError(EditName(edit) + ": " + error.Message());
    if (!parsed.options.empty() && path == kStandardStream)
        return UsageError("edits need a database file to write back, not standard input");

    palm::EbookInfo info;
    // A declared length that the records do not give is no reason to refuse
    // a book: its text is all there.
    if (const palm::Result read = ReadDatabase(path, info); !palm::TextIsWhole(read, info)) {
        ReportError(StreamName(path) + ": " + palm::Message(read));
        return kExitFailed;
    }
    if (parsed.options.empty()) {
        const std::string listing = BookmarkListing(info.bookmarks);
        std::fwrite(listing.data(), 1, listing.size(), stdout);
        return kExitOk;
    }
    Editor editor(info);
    for (const ParsedOption& edit : parsed.options) {
        if (Error error = editor.Apply(edit)) {
            ReportError(EditName(edit) + ": " + error.Message() + "; " + path + " is left as it was");
            return kExitFailed;
        }
    }
    if (const palm::Result saved = palm::SaveBookmarks(path, editor.List()); !saved.Ok()) {
        ReportError(path + ": " + palm::Message(saved) + " It is left as it was.");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace folivo::cli
