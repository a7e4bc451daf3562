// For every book of the corpus: our PalmDoc database size and speed beside
// txt2pdbdoc (timed in the same run, when installed) and beside a model of
// calibre's greedy compressor; our zTXT size beside zlib level 9 of the
// whole text. Sizes are whole files, headers included. Speeds are megabytes
// of text per second of processor time (best of several runs), so that other
// work on a shared machine does not count against either side.
//
// With --smallest it adds the smallest PalmDoc file the format allows for
// each book, found by brute force (slow: about a minute for the corpus), and
// the gain over txt2pdbdoc that file would have.
//
//   palm_compare [--smallest] [corpus folder] [scratch folder]
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <palm/EbookWriters.h>

#include "GreedyReference.h"
#include "SmallestRecord.h"

namespace {

namespace fs = std::filesystem;

// Processor time of the whole process: every thread compressing counts.
double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Processor time of finished child processes (user and system).
double ChildSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Best of a few runs, in seconds of the given clock.
template <typename Work>
double BestTime(int runs, double (*clock)(), Work work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = clock();
        work();
        best = std::min(best, clock() - start);
    }
    return best;
}

// The smallest possible file of our layout: header, record list with the
// 2-byte gap, record 0 and the smallest record for every 4096 bytes.
std::size_t SmallestFileSize(const std::string& text)
{
    std::size_t size = 78 + 2 + 8 + 16;
    for (std::size_t start = 0; start < text.size(); start += 4096)
        size += 8 + palmtest::SmallestRecordSize(std::string_view(text).substr(start, 4096));
    return size;
}

// The container around greedy records as calibre lays it out: len/4096 + 1
// text records, a 16-byte record 0, 8 bytes per record and the 2-byte gap.
std::size_t GreedyFileSize(const std::string& text)
{
    std::size_t size = 78 + 2 + 16;
    for (std::size_t start = 0; start <= text.size(); start += 4096) {
        size += 8 + GreedyRecordSize(std::string_view(text).substr(start, 4096));
    }
    return size + 8;
}

double PercentSmaller(std::size_t ours, std::size_t theirs)
{
    return 100.0 * (static_cast<double>(theirs) - static_cast<double>(ours)) / static_cast<double>(theirs);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool smallest = std::erase(args, "--smallest") != 0;
    const fs::path corpus = args.size() > 0 ? fs::path(args[0]) : fs::path(FOLIVO_CORPUS_DIR);
    const fs::path scratch = args.size() > 1 ? fs::path(args[1]) : fs::temp_directory_path() / "palm-compare";
    if (!fs::is_directory(corpus)) {
        std::fprintf(stderr, "corpus folder not found: %s\n", corpus.c_str());
        return 1;
    }
    fs::create_directories(scratch);
    const bool haveTxt2pdbdoc = std::system("command -v txt2pdbdoc >/dev/null 2>&1") == 0;

    std::vector<fs::path> books;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.path().extension() == ".txt" || entry.path().extension() == ".htm")
            books.push_back(entry.path());
    std::sort(books.begin(), books.end());
    // Half a second of work first, so that the first book is not timed while
    // the processor is still speeding up.
    if (!books.empty()) {
        const std::string text = ReadFile(books.front());
        std::string palmDoc;
        for (const double start = ProcessSeconds(); ProcessSeconds() - start < 0.5;)
            palm::BuildPalmDoc({"Book", text, {}, 4096}, true, palmDoc);
    }

    std::printf("%-34s %9s | %9s %7s | %9s %7s %6s | %9s %6s | %9s %9s", "book", "bytes", "PalmDoc", "MB/s", "txt2pdb",
                "MB/s", "gain%", "greedy", "gain%", "zTXT", "zlib -9");
    std::printf(smallest ? " | %9s %6s\n" : "\n", "smallest", "gain%");
    bool allGain = true;
    double slowest = 1e30;
    for (const fs::path& path : books) {
        const std::string text = ReadFile(path);
        const double mb = static_cast<double>(text.size()) / 1e6;

        std::string palmDoc;
        const double ourTime = BestTime(5, ProcessSeconds, [&] {
            palm::BuildPalmDoc({"Book", text, {}, 4096}, true, palmDoc);
        });
        slowest = std::min(slowest, mb / ourTime);

        std::size_t theirSize = 0;
        double theirTime = 0;
        if (haveTxt2pdbdoc) {
            const fs::path out = scratch / "txt2pdbdoc.pdb";
            const std::string command = "txt2pdbdoc -b Book '" + path.string() + "' '" + out.string() + "'";
            theirTime = BestTime(3, ChildSeconds, [&] {
                if (std::system(command.c_str()) != 0)
                    std::fprintf(stderr, "txt2pdbdoc failed on %s\n", path.c_str());
            });
            theirSize = fs::file_size(out);
        }
        const std::size_t greedySize = GreedyFileSize(text);

        std::string ztxt;
        palm::BuildZtxt({"Book", text, {}, 8192}, palm::ZtxtMode::RandomAccess, ztxt);
        std::string withoutCr = text;
        std::erase(withoutCr, '\r');
        uLongf zlibSize = compressBound(static_cast<uLong>(withoutCr.size()));
        std::vector<Bytef> ZlibOut(zlibSize);
        compress2(ZlibOut.data(), &zlibSize, reinterpret_cast<const Bytef*>(withoutCr.data()),
                  static_cast<uLong>(withoutCr.size()), 9);

        const double t2pGain = haveTxt2pdbdoc ? PercentSmaller(palmDoc.size(), theirSize) : 0;
        const double greedyGain = PercentSmaller(palmDoc.size(), greedySize);
        if ((haveTxt2pdbdoc && t2pGain < 2.0) || greedyGain < 2.0)
            allGain = false;
        std::printf("%-34s %9zu | %9zu %7.1f | %9zu %7.1f %6.2f | %9zu %6.2f | %9zu %9lu", path.filename().c_str(),
                    text.size(), palmDoc.size(), mb / ourTime, theirSize, haveTxt2pdbdoc ? mb / theirTime : 0.0,
                    t2pGain, greedySize, greedyGain, ztxt.size(), static_cast<unsigned long>(zlibSize));
        if (smallest) {
            const std::size_t least = SmallestFileSize(text);
            std::printf(" | %9zu %6.2f", least, haveTxt2pdbdoc ? PercentSmaller(least, theirSize) : 0.0);
        }
        std::printf("\n");
    }
    std::printf("\nslowest PalmDoc speed: %.1f MB/s; at least 2%% smaller than both peers on every book: %s\n", slowest,
                allGain ? "yes" : "no");
    if (!haveTxt2pdbdoc)
        std::printf("txt2pdbdoc is not installed: its columns are empty\n");
    return 0;
}
