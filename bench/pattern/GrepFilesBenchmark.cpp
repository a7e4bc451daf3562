// GrepFiles over a tree of the shared corpus copied 20 times, against grep -c
// on the same tree in the same run.
//
//     pattern_files_bench
//
// The tree is made in a temporary folder when the program starts and removed
// when it ends. Both sides search every file of the tree, recursively, for the
// same case-insensitive expression; bytes_per_second is the tree's size over
// the time of one whole search. The counters give what each side counted:
// matches for GrepFiles, matching lines for grep (the same here, as the
// expression matches at most once per line).
#include <patternkit/RegularExpression.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const kExpression = "^(chapter|book) [ivxlc]+";
constexpr int kCopies = 20;

struct Tree {
    fs::path root;
    std::int64_t bytes = 0;
};

Tree& TheTree()
{
    static Tree tree;
    return tree;
}

bool MakeTree()
{
    const fs::path corpus = FOLIVO_CORPUS_DIR;
    std::error_code error;
    if (!fs::is_directory(corpus, error))
        return false;
    std::string pattern = (fs::temp_directory_path() / "folivo-grepfiles-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return false;
    Tree& tree = TheTree();
    tree.root = pattern;
    for (int copy = 0; copy < kCopies; ++copy) {
        const fs::path folder = tree.root / ("copy" + std::to_string(copy));
        fs::create_directory(folder);
        for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
            if (!entry.is_regular_file())
                continue;
            fs::copy_file(entry.path(), folder / entry.path().filename());
            tree.bytes += static_cast<std::int64_t>(entry.file_size());
        }
    }
    return true;
}

void GrepFiles(benchmark::State& state)
{
    RegularExpression re;
    re.SetExpression(kExpression);
    re.AddExpressionOption(RegularExpression::optICase);
    re.SetFilesToMatch((TheTree().root / "*").string());
    re.SetDirectoryRecursion(true);
    long positions = 0;
    re.OnGreppingFiles.Hook(&positions, [&](RegularExpression*, const CString&, const REMatchList& m, unsigned, bool&) {
        positions += m[0].position;
    });
    unsigned matches = 0;
    for (auto _ : state) {
        matches = re.GrepFiles();
        benchmark::DoNotOptimize(positions);
    }
    if (re.GetGrepFilesErrors())
        state.SkipWithError("GrepFiles met file problems");
    state.counters["matches"] = matches;
    state.SetBytesProcessed(state.iterations() * TheTree().bytes);
}

void GrepCommand(benchmark::State& state)
{
    const std::string command = "grep -rciE '" + std::string(kExpression) + "' '" + TheTree().root.string() + "'";
    long lines = 0;
    for (auto _ : state) {
        FILE* out = popen(command.c_str(), "r");
        if (!out) {
            state.SkipWithError("grep cannot be started");
            return;
        }
        lines = 0;
        char line[4096];
        while (fgets(line, sizeof line, out)) {
            const char* colon = std::strrchr(line, ':');
            lines += colon ? std::atol(colon + 1) : 0;
        }
        if (pclose(out) == -1) {
            state.SkipWithError("grep failed");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(state.iterations() * TheTree().bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!MakeTree()) {
        std::fprintf(stderr, "corpus not found at %s: nothing to measure\n", FOLIVO_CORPUS_DIR);
        return 0;
    }
    std::printf("tree: %d copies of the corpus, %.1f MB\n", kCopies, static_cast<double>(TheTree().bytes) / 1e6);
    benchmark::RegisterBenchmark("GrepFiles/Component", GrepFiles)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3);
    benchmark::RegisterBenchmark("GrepFiles/grep -c", GrepCommand)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(TheTree().root, ignored);
    return 0;
}
