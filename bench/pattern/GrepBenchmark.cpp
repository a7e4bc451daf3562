// The bookmark scan's Grep against the bare engine over the largest book.
//
//     pattern_bench --benchmark_min_time=2
//
// Grep/Component runs the converter's path (Win32 model, perl + icase, a hooked
// OnGrepping handler); Grep/BareEngine runs regex_grep with an empty predicate
// and the same expression over the same text. The component's overhead is the
// ratio of the two times.
#include <patternkit/RegularExpression.h>

#include <benchmark/benchmark.h>
#include <boost/regex.hpp>

#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* const kPattern = "^(BOOK|CHAPTER) [IVXLC]+";

const std::string& Book()
{
    static const std::string text = [] {
        std::ifstream in(std::string(FOLIVO_CORPUS_DIR) + "/war-and-peace-2600-0.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return text;
}

bool HaveBook(benchmark::State& state)
{
    if (!Book().empty())
        return true;
    state.SkipWithError("corpus book war-and-peace-2600-0.txt not found");
    return false;
}

// The matches of one scan, and the book's bytes for every iteration.
void ReportScan(benchmark::State& state, unsigned matches)
{
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Book().size()));
}

RegularExpression BookmarkScanObject(RegularExpression::LocaleModels model)
{
    RegularExpression re;
    re.SetLocaleModel(model);
    re.ClearExpressionOptions();
    re.AddExpressionOption(RegularExpression::optPerl);
    re.AddExpressionOption(RegularExpression::optICase);
    re.SetExpression(kPattern);
    re.SetStringToMatch(Book());
    return re;
}

void ComponentGrep(benchmark::State& state, RegularExpression::LocaleModels model)
{
    if (!HaveBook(state))
        return;
    RegularExpression re = BookmarkScanObject(model);
    long positions = 0;
    unsigned matches = 0;
    for (auto _ : state) {
        re.OnGrepping.Hook(&positions,
                           [&](RegularExpression*, const REMatchList& m, unsigned, unsigned lineStart, bool& more) {
                               positions += m[0].position + lineStart;
                               more = true;
                           });
        matches = re.Grep();
        re.OnGrepping.Unhook(&positions);
        benchmark::DoNotOptimize(positions);
    }
    ReportScan(state, matches);
}

void BareEngine(benchmark::State& state)
{
    if (!HaveBook(state))
        return;
    const boost::regex re(kPattern, boost::regex::perl | boost::regex::icase);
    const char* first = Book().data();
    const char* last = first + Book().size();
    unsigned matches = 0;
    for (auto _ : state) {
        matches = boost::regex_grep([](const boost::match_results<const char*>&) { return true; }, first, last, re);
        benchmark::DoNotOptimize(matches);
    }
    ReportScan(state, matches);
}

// The whole bookmark scan of one conversion run: options, expression, text, Grep.
void WholeScan(benchmark::State& state)
{
    if (!HaveBook(state))
        return;
    RegularExpression re;
    long positions = 0;
    for (auto _ : state) {
        re.SetLocaleModel(RegularExpression::localeWin32);
        re.ClearExpressionOptions();
        re.AddExpressionOption(RegularExpression::optPerl);
        re.AddExpressionOption(RegularExpression::optICase);
        re.SetExpression(kPattern);
        re.SetStringToMatch(Book());
        re.OnGrepping.Hook(&positions, [&](RegularExpression*, const REMatchList& m, unsigned, unsigned, bool&) {
            positions += m[0].position;
        });
        re.Grep();
        re.OnGrepping.Unhook(&positions);
        benchmark::DoNotOptimize(positions);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Book().size()));
}

}  // namespace

BENCHMARK(BareEngine)->Name("Grep/BareEngine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ComponentGrep, win32, RegularExpression::localeWin32)
    ->Name("Grep/Component/localeWin32")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ComponentGrep, cpp, RegularExpression::localeCpp)
    ->Name("Grep/Component/localeCpp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WholeScan)->Name("BookmarkScan/Whole")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
