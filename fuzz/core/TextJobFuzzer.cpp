// A document's text on its way through a preview run of the conversion job:
// character set detection and conversion, the text rules, the bookmark scan
// with an arbitrary pattern, and the bookmark file. Every generated bookmark
// must mark the start of a line of the prepared text, named from that line,
// in text order, and none the empty "line" after a final line break.
//
// Input: two rule bytes, then the pattern up to the first NUL, then the
// document. The pattern is cut short so that the engine's complexity limits,
// not the fuzzer's timeout, end hopeless searches.
#include <core/ConversionJob.h>
#include <core/TextLines.h>
#include <core/WizardPages.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxPattern = 64;

std::string g_document;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const char* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
}

// One of three radio buttons of a group, as the page would leave them.
void Choose(std::uint32_t& a, std::uint32_t& b, std::uint32_t& none, unsigned which)
{
    a = which == 0;
    b = which == 1;
    none = which >= 2;
}

void CheckBookmarks(const BookmarkList& list, const std::string& text)
{
    const folivo::TextLines lines(text);
    std::int32_t previous = -1;
    for (int i = 0; i < list.Count(); ++i) {
        const Bookmark& b = *list.At(i);
        if (!b.generated || b.position <= previous || b.position > static_cast<std::int32_t>(text.size()))
            std::abort();
        previous = b.position;
        const int line = lines.LineOf(b.position);
        if (lines.Start(line) != b.position)
            std::abort();
        const auto start = static_cast<std::size_t>(b.position);
        const auto length = static_cast<std::size_t>(lines.Length(line));
        if (start == text.size() && start > 0 && (text.back() == '\n' || text.back() == '\r'))
            std::abort();
        std::string name = length == 0 ? text.substr(start, 1) : text.substr(start, std::min<std::size_t>(length, 15));
        name.resize(std::min(name.size(), name.find('\0')));
        if (b.name != name)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The run's temporary files and settings store are the fuzzer's own.
    static char folder[] = "/tmp/folivo-text-fuzz-XXXXXX";
    if (!::mkdtemp(folder))
        std::abort();
    ::setenv("TMP", folder, 1);
    ::setenv("XDG_CONFIG_HOME", folder, 1);
    g_document = std::string(folder) + "/document.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t a = data[0], b = data[1];
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const std::size_t restSize = size - 2;
    const char* nul = static_cast<const char*>(std::memchr(rest, 0, restSize));
    if (!nul)
        return 0;
    const std::size_t patternSize = static_cast<std::size_t>(nul - rest);
    WriteAll(g_document, nul + 1, restSize - patternSize - 1);

    folivo::PageAnswers pages;
    pages.textShown = pages.bookmarkShown = true;
    Choose(pages.text.removeCR, pages.text.removeLF, pages.text.removeNone, a % 4);
    Choose(pages.text.translateCR, pages.text.translateLF, pages.text.translateNone, (a / 4) % 4);
    pages.text.tabs = (a >> 4) & 1;
    pages.text.html = (a >> 5) & 1;
    pages.text.ascii = (a >> 6) & 1;
    pages.text.single = a >> 7;
    pages.text.charset = b & 1;
    pages.patterns = std::string(rest, std::min(patternSize, kMaxPattern));

    BookmarkList list;
    folivo::ConversionJob job(list);
    job.SetPages(&pages);
    job.sourceFileName = "document.txt";
    const int result = job.RunConversion(g_document, g_document + ".pdb", "Fuzz", DocumentFormat::PrepareOnly, 4, 1);
    if (result == folivo::kConversionDone) {
        const std::string prepared = ReadAll(job.textFilePath);
        if (prepared.size() != job.LastReport().preparedLength)
            std::abort();
        if (job.LastReport().patternError == RegularExpression::errNone)
            CheckBookmarks(list, prepared);
    }
    job.DeleteTextFile();
    return 0;
}
