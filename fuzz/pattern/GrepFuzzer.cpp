// Compiles an arbitrary expression under arbitrary options and runs Match,
// Search, Grep, Merge and Split over an arbitrary text, checking that every
// match list describes the text it came from.
//
// Input: four option bytes, then the expression up to the first NUL, then the
// text. Expression and text are cut short so that the engine's complexity
// limits, not the fuzzer's timeout, end hopeless searches.
#include <patternkit/RegularExpression.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using RE = RegularExpression;

constexpr std::size_t kMaxExpression = 96;
constexpr std::size_t kMaxText = 512;

void CheckList(RE* re, const REMatchList& m)
{
    const CString& text = re->GetStringToMatch();
    if (m.size() < 3 || m.size() != re->NumberOfSubexpressions() + 3)
        std::abort();
    for (const REMatch& e : m) {
        if (e.position < 0) {
            if (!e.text.empty())
                std::abort();
            continue;
        }
        const auto at = static_cast<std::size_t>(e.position);
        if (at > text.size() || text.compare(at, e.text.size(), e.text.View()) != 0)
            std::abort();
    }
    CString expansion;
    re->Format(expansion);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::uint8_t options = data[0], flags = data[1], matches = data[2], merge = data[3];
    const char* rest = reinterpret_cast<const char*>(data + 4);
    const std::size_t restSize = size - 4;
    const char* nul = static_cast<const char*>(std::memchr(rest, 0, restSize));
    const std::size_t expressionSize = nul ? static_cast<std::size_t>(nul - rest) : restSize;
    const std::string expression(rest, std::min(expressionSize, kMaxExpression));
    const std::string text =
        nul ? std::string(nul + 1, std::min<std::size_t>(restSize - expressionSize - 1, kMaxText)) : std::string();

    RE re;
    re.SetLocaleModel(static_cast<RE::LocaleModels>(flags % 3));
    if (options & 0x80)
        re.ClearExpressionOptions();
    re.AddExpressionOption(static_cast<RE::Options>(13 + options % 9));
    for (int bit = 0; bit < 5; ++bit) {
        static const RE::Options kSingles[] = {RE::optICase, RE::optNewlineAlt, RE::optLiteral, RE::optBkPlusQm,
                                               RE::optLimitedOps};
        if (flags & (8 << bit))
            re.AddExpressionOption(kSingles[bit]);
    }
    for (int m = 1; m <= RE::matchPartial; ++m) {
        if (matches & (1 << (m % 8)) && (m <= 8) == ((matches & 1) == 0))
            re.AddMatchOption(static_cast<RE::Matches>(m));
    }
    re.SetFormatType(static_cast<RE::FormatTypes>(merge % 3));
    static const char* const kFormats[] = {"<$&>", "\\1-&", "(?1x:y)$0", "$`|$'", "\\u$1\\E"};
    re.SetFormatString(kFormats[(merge / 3) % 5]);
    re.SetMergeCopy(merge & 0x20);
    re.SetMergeOnlyFirst(merge & 0x40);
    re.SetMaximumSplits(merge >> 7);
    re.SetExpression(expression);
    re.SetStringToMatch(text);

    auto check = [](RE* self, const REMatchList& m, unsigned, unsigned) { CheckList(self, m); };
    auto checkMore = [](RE* self, const REMatchList& m, unsigned, unsigned, bool&) { CheckList(self, m); };
    re.OnMatching.Hook(&re, check);
    re.OnSearching.Hook(&re, check);
    re.OnGrepping.Hook(&re, checkMore);
    re.OnMerging.Hook(&re, checkMore);

    if (re.ParseExpression() != RE::errNone)
        (void)re.GetExpressionError();
    re.Match();
    re.MatchAll();
    re.Search();
    const unsigned found = re.Grep();
    CString merged;
    re.Merge(merged);
    if (merge & 0x20 && found == 0 && re.ParseExpression() == RE::errNone && merged != re.GetStringToMatch() &&
        !merged.empty())
        std::abort();
    CStringArray parts;
    re.Split(parts);
    return 0;
}
