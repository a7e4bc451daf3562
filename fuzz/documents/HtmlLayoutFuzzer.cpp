// Any bytes laid out as HTML, or as XHTML: an error is fine, a crash, a
// sanitizer report or a broken promise of the layout is not. The text stays
// within its limit and is UTF-8; the headings' marks lie in it, in order,
// named with white space collapsed; and a document laid out after another
// gives the text and marks it gives alone, after an empty line: nothing of
// one document's state reaches the next. The first document read while
// another thread still appends it gives what it gives read whole.
//
// Input: a byte whose low bits say which of the two documents is XHTML (and
// whose other bits the size of the pieces appended), then the first document
// up to the first NUL, then the second.
#include "HtmlLayout.h"
#include "ParserInput.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr std::size_t kLimit = 1 << 20;

bool ValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t length = b < 0x80                 ? 1
                                   : b >= 0xC2 && b <= 0xDF ? 2
                                   : b >= 0xE0 && b <= 0xEF ? 3
                                   : b >= 0xF0 && b <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || s.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        const auto next = static_cast<unsigned char>(length > 1 ? s[i + 1] : 0);
        if ((b == 0xE0 && next < 0xA0) || (b == 0xED && next > 0x9F) || (b == 0xF0 && next < 0x90) ||
            (b == 0xF4 && next > 0x8F))
            return false;
        i += length;
    }
    return true;
}

bool Collapsed(const std::string& name)
{
    if (name.empty() || name.front() == ' ' || name.back() == ' ')
        return false;
    return name.find_first_of("\t\n\r\f") == std::string::npos && name.find("  ") == std::string::npos;
}

void Check(documents::TextLayout& layout)
{
    const std::string& text = layout.Text();
    if (text.size() > kLimit || !ValidUtf8(text))
        std::abort();
    std::size_t previous = 0;
    for (const documents::Mark& mark : layout.Headings()) {
        if (mark.offset < previous || mark.offset > text.size() || !Collapsed(mark.name))
            std::abort();
        previous = mark.offset;
    }
}

// Lays out one document alone; false when it is refused.
bool Alone(std::string_view bytes, bool xml, documents::TextLayout& layout)
{
    const bool done = layout.Add(bytes, xml, "doc").empty();
    Check(layout);
    return done;
}

void Streamed(std::string_view bytes, bool xml, std::size_t piece, documents::TextLayout& whole,
              const std::string& wholeResult)
{
    documents::ParserInput input;
    documents::TextLayout layout(kLimit);
    std::string result;
    {
        const std::jthread feeding([&] {
            for (std::size_t at = 0; at < bytes.size(); at += piece) {
                input.Append(bytes.substr(at, piece));
                std::this_thread::yield();
            }
            input.Finish();
        });
        result = layout.Add(input, xml, "doc");
    }
    if (result != wholeResult || layout.Text() != whole.Text() || layout.Headings() != whole.Headings())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool firstXml = data[0] & 1, secondXml = data[0] & 2;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string_view first = rest.substr(0, nul);
    const std::string_view second = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);

    documents::TextLayout a(kLimit), b(kLimit), both(kLimit);
    const std::string firstResult = a.Add(first, firstXml, "doc");
    Check(a);
    Streamed(first, firstXml, 1 + (data[0] >> 2), a, firstResult);
    const bool firstDone = firstResult.empty();
    if (second.empty() || !firstDone)
        return 0;
    const bool secondDone = Alone(second, secondXml, b);
    // Together they may pass the limit neither passes alone.
    if (a.Text().size() + 2 + b.Text().size() > kLimit)
        return 0;
    if (!both.Add(first, firstXml, "doc").empty() || both.Add(second, secondXml, "next").empty() != secondDone)
        std::abort();
    Check(both);
    if (!secondDone)
        return 0;
    // The second document's text after an empty line. Its own leading line
    // breaks join those that make the empty line, so they are left out of
    // the comparison.
    const std::string& firstText = a.Text();
    const std::string& alone = b.Text();
    const std::string& text = both.Text();
    const std::size_t lead = std::min(alone.find_first_not_of('\n'), alone.size());
    const std::string_view tail = std::string_view(alone).substr(lead);
    if (text.size() < firstText.size() + tail.size() || text.compare(0, firstText.size(), firstText) != 0 ||
        !std::string_view(text).ends_with(tail))
        std::abort();
    const std::size_t tailAt = text.size() - tail.size();
    const std::string_view between = std::string_view(text).substr(firstText.size(), tailAt - firstText.size());
    std::size_t breaks = between.size();
    for (std::size_t k = firstText.size(); k > 0 && firstText[k - 1] == '\n'; --k)
        ++breaks;
    if (between.find_first_not_of('\n') != std::string_view::npos ||
        (!firstText.empty() && !tail.empty() && breaks < 2) || (tail.empty() && !between.empty() && lead == 0))
        std::abort();
    if (both.Headings().size() != a.Headings().size() + b.Headings().size())
        std::abort();
    for (std::size_t i = 0; i < b.Headings().size(); ++i) {
        const documents::Mark& own = b.Headings()[i];
        const documents::Mark& after = both.Headings()[a.Headings().size() + i];
        const auto shift = [](std::size_t offset, std::size_t from) {
            return static_cast<std::ptrdiff_t>(offset) - static_cast<std::ptrdiff_t>(from);
        };
        if (after.name != own.name || (own.offset >= lead && shift(after.offset, tailAt) != shift(own.offset, lead)))
            std::abort();
    }
    return 0;
}
