#include "WriterSteps.h"

#include <algorithm>
#include <exception>
#include <thread>

#include <platform/Paths.h>

#include "BookmarkFile.h"
#include "Files.h"
#include "PdbContainer.h"

namespace palm {

std::string TitleFromOutputPath(const std::string& outputPath)
{
    std::string title = platform::FileNameOf(outputPath);
    if (title.size() > 4 && title.ends_with(".pdb"))
        title.resize(title.size() - 4);
    return title;
}

Result CheckRecordSize(std::uint32_t recordSize)
{
    if (recordSize < kMinRecordSize || recordSize > kMaxRecordSize)
        return {Status::BlockSizeOutOfRange, std::to_string(recordSize) + " bytes"};
    return {};
}

std::uint64_t MaxTextLength(std::uint32_t recordSize)
{
    if (recordSize < kMinRecordSize || recordSize > kMaxRecordSize)
        recordSize = kMaxRecordSize;
    return std::uint64_t{kPdbMaxRecords - 1} * recordSize;
}

Result CheckContent(const BookContent& content)
{
    if (content.text.empty())
        return {Status::EmptyText, {}};
    return CheckRecordSize(content.recordSize);
}

void ArrangeBookmarks(std::vector<StoredBookmark>& bookmarks, std::size_t textLength, std::size_t room, Result& result)
{
    result.bookmarksPastText = std::erase_if(bookmarks, [&](const StoredBookmark& b) { return b.offset > textLength; });
    std::stable_sort(bookmarks.begin(), bookmarks.end(),
                     [](const StoredBookmark& a, const StoredBookmark& b) { return a.offset < b.offset; });
    if (bookmarks.size() > room) {
        result.bookmarksWithoutRoom = bookmarks.size() - room;
        bookmarks.resize(room);
    }
    result.storedBookmarks = bookmarks.size();
}

void ShareOutRecords(std::size_t count, const std::function<void(std::size_t first, std::size_t stride)>& work)
{
    // Below this many records a thread costs more than it saves.
    constexpr std::size_t kRecordsPerThread = 64;
    const std::size_t threads =
        std::clamp<std::size_t>(count / kRecordsPerThread, 1, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::exception_ptr> failures(threads);
    const auto run = [&](std::size_t first) {
        try {
            work(first, threads);
        } catch (...) {
            failures[first] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(run, t);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

namespace {

// The text and what the database is built from; content.text views text.
struct LoadedInput {
    std::string text;
    BookContent content;
    Result warning;
};

Result LoadInput(const WriteRequest& request, LoadedInput& input)
{
    if (request.textPath.empty() || request.outputPath.empty())
        return {Status::InvalidArgument, "missing path"};
    if (Result size = CheckRecordSize(request.recordSize); !size.Ok())
        return size;
    if (Result read = ReadInput(request.textPath, input.text, Status::TextFileUnreadable); !read.Ok())
        return read;

    input.content.text = input.text;
    input.content.recordSize = request.recordSize;
    input.content.title = request.title.empty() ? TitleFromOutputPath(request.outputPath) : request.title;
    if (!request.bookmarkPath.empty()) {
        std::string lines;
        if (Result read = ReadInput(request.bookmarkPath, lines, Status::BookmarkFileUnreadable);
            read.status != Status::Ok) {
            input.warning = read;
        } else {
            BookmarkLines parsed = ParseBookmarkLines(lines);
            input.content.bookmarks = std::move(parsed.entries);
            input.warning.malformedBookmarkLines = parsed.malformed;
        }
    }
    return {};
}

}  // namespace

Result WriteDatabase(const WriteRequest& request, const BuildDatabase& build)
{
    LoadedInput input;
    if (Result loaded = LoadInput(request, input); !loaded.Ok())
        return loaded;
    std::string database;
    const Result built = build(input.content, database);
    if (!built.Ok())
        return built;
    if (Result stored = StoreDatabase(request.outputPath, database); !stored.Ok())
        return stored;

    Result result = input.warning;
    result.bookmarksPastText = built.bookmarksPastText;
    result.bookmarksWithoutRoom = built.bookmarksWithoutRoom;
    result.storedBookmarks = built.storedBookmarks;
    if (result.status == Status::Ok && result.SkippedBookmarks() != 0)
        result.status = Status::BookmarkLinesSkipped;
    return result;
}

}  // namespace palm
