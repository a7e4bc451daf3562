// html_agreement [--hunks] FOLDER: how far each HTML book of FOLDER, laid
// out as text, has the words of its text editions; --hunks lists every run
// of differing words. "book" is the text edition between Project
// Gutenberg's "*** START OF" and "*** END OF" lines.
#include "WordAgreement.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double Percent(std::size_t part, std::size_t all)
{
    return all == 0 ? 100.0 : 100.0 * static_cast<double>(part) / static_cast<double>(all);
}

// At most `limit` words, and how many there were.
std::string Words(const std::vector<std::string>& words, std::size_t limit)
{
    std::string out;
    for (std::size_t i = 0; i < words.size() && i < limit; ++i)
        out += (i ? " " : "") + words[i];
    if (words.size() > limit)
        out += " ...(" + std::to_string(words.size()) + ")";
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool hunks = argc == 3 && std::strcmp(argv[1], "--hunks") == 0;
    if (argc != 2 && !hunks) {
        std::fprintf(stderr, "usage: html_agreement [--hunks] FOLDER\n");
        return 2;
    }
    try {
        const auto pairs = agreement::EditionPairs(argv[argc - 1]);
        // Paragraphs: how many hold words, the share whose words agree, the
        // share the other side has as one paragraph. Words: how many differ
        // (lost and added) in each region, in how many runs.
        std::printf("%-30s %-33s %-22s %-22s %-22s %s\n", "HTML", "text edition", "text: paragraphs agree",
                    "book: paragraphs agree", "HTML: paragraphs agree", "words differing (runs): header body footer");
        for (const auto& [html, text] : pairs) {
            const agreement::Agreement a = agreement::Compare(ReadFile(text), agreement::LaidOut(html));
            std::size_t runs[3] = {}, words[3] = {};
            for (const agreement::Hunk& h : a.hunks) {
                ++runs[static_cast<int>(h.region)];
                words[static_cast<int>(h.region)] += h.lost.size() + h.added.size();
            }
            std::printf("%-30s %-33s", html.filename().c_str(), text.filename().c_str());
            for (const agreement::Count& c : {a.text, a.textBody, a.html})
                std::printf(" %5zu %6.2f%% %6.2f%%", c.paragraphs, Percent(c.agreeing, c.paragraphs),
                            Percent(c.whole, c.paragraphs));
            for (int r = 0; r < 3; ++r)
                std::printf(" %5zu (%zu)", words[r], runs[r]);
            std::printf("\n");
            if (hunks)
                for (const agreement::Hunk& h : a.hunks)
                    std::printf("  %-6s text %5zu html %5zu  -[%s]  +[%s]\n", agreement::RegionName(h.region),
                                h.textParagraph + 1, h.htmlParagraph + 1, Words(h.lost, 12).c_str(),
                                Words(h.added, 12).c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "html_agreement: %s\n", e.what());
        return 1;
    }
    return 0;
}
