// Whole conversions to PalmDoc through the job, with the built-in defaults
// and a chapter pattern: a book as plain text beside the same book as HTML,
// which is laid out as text first and gives a bookmark for each of its
// headings. The HTML book should take at most twice the plain text's wall
// time, on every core as a user's conversion runs (the plain text compresses
// on all of them), on an otherwise idle machine:
//
//     conversion_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
//
// and on one core, with taskset -c 0 in front.
//
// Epub/epub is the HTML book zipped as an EPUB book. Each book is one Book/NAME case; another kind of document is one
// more BENCHMARK_CAPTURE line. Layout/html is the HTML book's layout alone, the part of its conversion the plain text
// does not have.
#include <core/ConversionJob.h>
#include <core/WizardPages.h>
#include <documents/Document.h>

#include "EpubFiles.h"
#include "TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void Convert(benchmark::State& state, const std::filesystem::path& source)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(source, error);
    if (error) {
        state.SkipWithError(("no " + source.string()).c_str());
        return;
    }
    const IsolatedStore store;
    const DocumentSandbox sandbox;
    folivo::PageAnswers pages;
    pages.bookmarkShown = true;
    pages.patterns = "^(chapter|book) [ivxlc0-9]+";
    const std::string output = (sandbox.Docs() / "book.pdb").string();
    int result = folivo::kConversionDone, bookmarks = 0;
    std::size_t prepared = 0;
    for (auto _ : state) {
        BookmarkList list;
        folivo::ConversionJob job(list);
        job.SetPages(&pages);
        result = job.RunConversion(source.string(), output, "Book", DocumentFormat::PalmDoc, 4, 1);
        bookmarks = list.Count();
        prepared = job.LastReport().preparedLength;
        job.DeleteTextFile();
    }
    if (result != folivo::kConversionDone)
        state.SkipWithError("the conversion failed");
    state.counters["bookmarks"] = bookmarks;
    state.counters["text_bytes"] = static_cast<double>(prepared);
    state.counters["pdb_bytes"] = static_cast<double>(std::filesystem::file_size(output, error));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
void Book(benchmark::State& state, const char* name)
{
    Convert(state, std::filesystem::path(FOLIVO_CORPUS_DIR) / name);
}

// The HTML book as an EPUB book's one content document, zipped as the
// tests zip their books; its contents are then its headings.
void Epub(benchmark::State& state, const char* name)
{
    std::ifstream in(std::filesystem::path(FOLIVO_CORPUS_DIR) / name, std::ios::binary);
    const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (html.empty()) {
        state.SkipWithError("corpus book not found");
        return;
    }
    const ScratchFolder folder;
    const std::filesystem::path book = folder.Path() / "book.epub";
    std::ofstream(book, std::ios::binary) << epubtest::Zip(
        {{"mimetype", "application/epub+zip"},
         {"META-INF/container.xml", epubtest::Container()},
         {"OEBPS/content.opf",
          epubtest::Package("Book", "<item id='b' href='book.html' media-type='text/html'/>", "<itemref idref='b'/>")},
         {"OEBPS/book.html", html}},
        folder.Path());
    Convert(state, book);
}

BENCHMARK_CAPTURE(Book, text, "war-and-peace-2600-0.txt")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Book, html, "war-and-peace-2600-h.htm")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Epub, epub, "war-and-peace-2600-h.htm")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void Layout(benchmark::State& state, const char* name)
{
    std::ifstream in(std::filesystem::path(FOLIVO_CORPUS_DIR) / name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) {
        state.SkipWithError("corpus book not found");
        return;
    }
    documents::Document document;
    for (auto _ : state) {
        std::string copy = bytes;
        if (!documents::OpenDocument(name, std::move(copy), {true, std::size_t{1} << 30}, document).empty())
            state.SkipWithError("the book cannot be laid out");
    }
    state.counters["marks"] = static_cast<double>(document.marks.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK_CAPTURE(Layout, html, "war-and-peace-2600-h.htm")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
