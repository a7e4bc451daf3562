// The file operations. GrepFiles over a tree of the shared corpus copied 20
// times, against grep -c on the same tree in the same run; ChangeFiles over
// one 12 MB file with a million matches.
//
//     pattern_files_bench [--benchmark_filter=ChangeFiles]
//
// The tree is made in a temporary folder when a GrepFiles case first needs it
// and removed when the program ends. Both sides search every file of the tree, recursively, for the
// same case-insensitive expression; bytes_per_second is the tree's size over
// the time of one whole search. The counters give what each side counted:
// matches for GrepFiles, matching lines for grep (the same here, as the
// expression matches at most once per line).
//
// ChangeFiles/MillionMatches needs no corpus: each iteration replaces every
// "old" of a file of a million lines "one old cat\n" by "new", or back, so that
// every iteration rewrites the same 12 MB with the same million changes.
#include <patternkit/RegularExpression.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

const char* const kExpression = "^(chapter|book) [ivxlc]+";
constexpr int kCopies = 20;

// Removed with the program's static objects.
struct Tree {
    ScratchFolder root;
    std::int64_t bytes = 0;
};

Tree& TheTree()
{
    static Tree tree;
    return tree;
}

// Makes the tree on first use; false (and the case skipped) without the corpus.
bool HaveTree(benchmark::State& state)
{
    static const bool made = [] {
        const fs::path corpus = FOLIVO_CORPUS_DIR;
        std::error_code error;
        if (!fs::is_directory(corpus, error))
            return false;
        Tree& tree = TheTree();
        if (tree.root.Path().empty())
            return false;
        for (int copy = 0; copy < kCopies; ++copy) {
            const fs::path folder = tree.root.Path() / ("copy" + std::to_string(copy));
            fs::create_directory(folder);
            for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
                if (!entry.is_regular_file())
                    continue;
                fs::copy_file(entry.path(), folder / entry.path().filename());
                tree.bytes += static_cast<std::int64_t>(entry.file_size());
            }
        }
        std::printf("tree: %d copies of the corpus, %.1f MB\n", kCopies, static_cast<double>(tree.bytes) / 1e6);
        return true;
    }();
    if (!made)
        state.SkipWithError("corpus not found at " FOLIVO_CORPUS_DIR);
    return made;
}

void GrepFiles(benchmark::State& state)
{
    if (!HaveTree(state))
        return;
    RegularExpression re;
    re.SetExpression(kExpression);
    re.AddExpressionOption(RegularExpression::optICase);
    re.SetFilesToMatch(TheTree().root / "*");
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
    if (!HaveTree(state))
        return;
    const std::string command =
        "grep -rciE '" + std::string(kExpression) + "' '" + TheTree().root.Path().string() + "'";
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

void ChangeFiles(benchmark::State& state)
{
    const ScratchFolder folder;
    if (folder.Path().empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path file = folder.Path() / "lines.txt";
    {
        std::string text;
        for (int line = 0; line < 1000000; ++line)
            text += "one old cat\n";
        WriteBytes(file, text);
    }
    RegularExpression re;
    re.SetFilesToMatch(file.string());
    bool forward = true;
    unsigned changed = 0;
    for (auto _ : state) {
        re.SetExpression(forward ? "old" : "new");
        re.SetFormatString(forward ? "new" : "old");
        forward = !forward;
        changed = re.ChangeFiles();
        if (changed != 1000000u || re.GetChangeFilesErrors()) {
            state.SkipWithError("ChangeFiles did not change every match");
            break;
        }
    }
    state.counters["changes"] = changed;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("GrepFiles/Component", GrepFiles)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3);
    benchmark::RegisterBenchmark("GrepFiles/grep -c", GrepCommand)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3);
    benchmark::RegisterBenchmark("ChangeFiles/MillionMatches", ChangeFiles)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
