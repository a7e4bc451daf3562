#include "TextPreparation.h"

#include <core/ProgressSink.h>

#include <algorithm>
#include <cstring>

namespace folivo {

namespace {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char TAB = 0x09;

bool IsBreak(unsigned char c)
{
    return c == CR || c == LF;
}

// The first pass writes at or behind the byte it reads, so it works in place.
std::size_t CleanBytes(unsigned char* text, std::size_t n, const ConversionSettings& rules, ProgressScope* progress)
{
    static const char kNbsp[] = "&nbsp;";
    const std::size_t stepEvery = n / 20;
    std::size_t countdown = stepEvery;
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < n) {
        if (progress && stepEvery != 0 && --countdown == 0) {
            progress->StepIt();
            countdown = stepEvery;
        }
        const unsigned char x = text[i];
        if (rules.removeHtmlTags && x == '&' && n - i >= 6 && std::memcmp(text + i, kNbsp, 6) == 0) {
            i += 6;
            continue;
        }
        if (rules.removeHtmlTags && x == '<') {
            const void* close = std::memchr(text + i, '>', n - i);
            i = close ? static_cast<const unsigned char*>(close) - text + 1 : n;
            continue;
        }
        ++i;
        if (x < 0x20 && x != TAB && x != LF && x != CR) {
            if (rules.allowLowAscii)
                text[out++] = x;
            continue;
        }
        if (x == TAB && rules.tabsToLineBreaks) {
            text[out++] = LF;
            continue;
        }
        if (x == CR) {
            if (rules.lineBreakRemoval == LineBreakRemoval::RemoveCR)
                continue;
            text[out++] = rules.lineBreakTranslation == LineBreakTranslation::CrToLf ? LF : CR;
            continue;
        }
        if (x == LF) {
            if (rules.lineBreakRemoval == LineBreakRemoval::RemoveLF)
                continue;
            text[out++] = rules.lineBreakTranslation == LineBreakTranslation::LfToCr ? CR : LF;
            continue;
        }
        text[out++] = x;
    }
    return out;
}

// Second pass, in place: one output byte per input byte. `before` is the
// input byte before k and `written` the output byte before k, which the
// rules tell apart.
void JoinSingleBreaks(unsigned char* text, std::size_t m)
{
    if (m < 2)
        return;
    unsigned char before = text[0];
    unsigned char written = text[0];
    for (std::size_t k = 1; k + 1 < m; ++k) {
        const unsigned char b = text[k];
        unsigned char o = b;
        if (IsBreak(b)) {
            const unsigned char next = text[k + 1];
            const unsigned char partner = b == LF ? CR : LF;
            if (!IsBreak(next) && !IsBreak(written))
                o = ' ';
            else if (next == partner && k + 2 < m && !IsBreak(text[k + 2]) && before != partner)
                o = ' ';
        }
        before = b;
        written = o;
        text[k] = o;
    }
}

}  // namespace

std::size_t PrepareTextBytes(unsigned char* text, std::size_t n, const ConversionSettings& rules,
                             ProgressScope* progress)
{
    const std::size_t m = CleanBytes(text, n, rules, progress);
    if (rules.ignoreSingleLineBreaks)
        JoinSingleBreaks(text, m);
    return m;
}

}  // namespace folivo
