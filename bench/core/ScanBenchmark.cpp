// The bookmark scan of one conversion, measured as a preview run makes it
// (text rules, prepared-text file, scan, bookmark file), on texts whose
// shape once made it cost more than their length.
//
//     scan_bench --benchmark_min_time=1
//
// OneLine/n: n bytes without a line break, "chapter" every 40 bytes.
// Book/style: 4,000 chapters in 2.5 MB, with LF (0), CR (1), CR LF (2) or
// LF CR (3) line breaks, scanned with "^chapter": every style should cost
// what LF costs.
// Repeats/n: "(\w+) \1" over n bytes of one line of words.
#include <core/ConversionJob.h>
#include <core/WizardPages.h>

#include "TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Runs the job over `text` with `patterns` until the timing is steady. Each
// run has a job of its own: a job keeps the list of an unchanged text.
void Scan(benchmark::State& state, const std::string& text, const char* patterns)
{
    const IsolatedStore store;
    const DocumentSandbox sandbox;
    const std::string source = sandbox.Document("book.txt", text);
    folivo::PageAnswers pages;
    pages.textShown = true;
    pages.text.charset = 0;
    pages.bookmarkShown = true;
    pages.patterns = patterns;
    int bookmarks = 0;
    for (auto _ : state) {
        BookmarkList list;
        folivo::ConversionJob job(list);
        job.SetPages(&pages);
        job.RunConversion(source, sandbox.Docs() / "book.pdb", "Book", DocumentFormat::PrepareOnly, 4, 1);
        bookmarks = job.LastReport().generatedBookmarks;
    }
    state.counters["bookmarks"] = bookmarks;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

std::string Repeated(const std::string& piece, std::size_t size)
{
    std::string text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    text.resize(size);
    return text;
}

void OneLine(benchmark::State& state)
{
    Scan(state, Repeated("chapter one two three four five six sev ", static_cast<std::size_t>(state.range(0))),
         "chapter");
}
BENCHMARK(OneLine)->Arg(256 << 10)->Arg(512 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void Book(benchmark::State& state)
{
    static const char* const kBreaks[] = {"\n", "\r", "\r\n", "\n\r"};
    const std::string br = kBreaks[state.range(0)];
    std::string text;
    for (int chapter = 1; chapter <= 4000; ++chapter) {
        text += "Chapter " + std::to_string(chapter) + br;
        for (int line = 0; line < 18; ++line)
            text += "some words in a line of text here" + br;
    }
    Scan(state, text, "^chapter");
}
BENCHMARK(Book)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void Repeats(benchmark::State& state)
{
    Scan(state, Repeated("words words and more words ", static_cast<std::size_t>(state.range(0))), "(\\w+) \\1");
}
BENCHMARK(Repeats)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
