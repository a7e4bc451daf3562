// The hand-held's character set on the largest books.
//
//     core_bench --benchmark_min_time=2
//
// Detect (without the byte-order mark, so that it reads every byte) and
// Convert run over the largest text, UTF-8;
// HtmlPass runs the text rules' first pass with tags removed over the largest
// HTML book, already converted, without (0) and with (1) the decoding of
// character references, so the difference is what the decoding costs.
#include "HandheldCharset.h"
#include "TextPreparation.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadBook(const char* name)
{
    std::ifstream in(std::string(FOLIVO_CORPUS_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& LargestText()
{
    static const std::string text = ReadBook("war-and-peace-2600-0.txt");
    return text;
}

const std::string& LargestHtml()
{
    static const std::string text = ReadBook("war-and-peace-2600-h.htm");
    return text;
}

bool HaveBook(benchmark::State& state, const std::string& book)
{
    if (!book.empty())
        return true;
    state.SkipWithError("corpus book not found");
    return false;
}

// Times `work` on the largest UTF-8 book, counting its bytes.
template <class Work>
void OnLargestText(benchmark::State& state, Work work)
{
    const std::string& book = LargestText();
    if (!HaveBook(state, book))
        return;
    for (auto _ : state)
        work(book);
    state.SetBytesProcessed(state.iterations() * book.size());
}

void Detect(benchmark::State& state)
{
    // Without its byte-order mark, so that every byte is read.
    OnLargestText(state,
                  [](std::string_view book) { benchmark::DoNotOptimize(folivo::DetectEncoding(book.substr(3))); });
}
BENCHMARK(Detect)->Unit(benchmark::kMillisecond);

void Convert(benchmark::State& state)
{
    std::string out;
    OnLargestText(state, [&out](std::string_view book) {
        out.clear();
        benchmark::DoNotOptimize(folivo::ToHandheldCharset(book, folivo::DetectEncoding(book), out));
    });
}
BENCHMARK(Convert)->Unit(benchmark::kMillisecond);

void HtmlPass(benchmark::State& state)
{
    const std::string& book = LargestHtml();
    if (!HaveBook(state, book))
        return;
    const std::string converted = folivo::ToHandheldString(book);
    ConversionSettings rules;
    rules.removeHtmlTags = true;
    rules.handheldCharset = state.range(0) != 0;
    std::string text;
    for (auto _ : state) {
        state.PauseTiming();
        text = converted;
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            folivo::PrepareTextBytes(reinterpret_cast<unsigned char*>(text.data()), text.size(), rules, nullptr));
    }
    state.SetBytesProcessed(state.iterations() * converted.size());
}
BENCHMARK(HtmlPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
