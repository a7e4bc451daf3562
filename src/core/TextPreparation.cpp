#include "TextPreparation.h"

#include "HandheldCharset.h"
#include <core/ProgressSink.h>

#include <algorithm>
#include <cstring>
#include <span>

namespace folivo {

namespace {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char TAB = 0x09;

bool IsBreak(unsigned char c)
{
    return c == CR || c == LF;
}

// Writes the byte x at text[out] as the byte rules have it; returns the new out.
// Kept inline in the hot loop although decoded references call it too.
[[gnu::always_inline]] inline std::size_t KeepByte(unsigned char* text, std::size_t out, unsigned char x,
                                                   const ConversionSettings& rules)
{
    if (x < 0x20 && x != TAB && x != LF && x != CR) {
        if (rules.allowLowAscii)
            text[out++] = x;
        return out;
    }
    if (x == TAB && rules.tabsToLineBreaks) {
        text[out++] = LF;
        return out;
    }
    if (x == CR) {
        if (rules.lineBreakRemoval != LineBreakRemoval::RemoveCR)
            text[out++] = rules.lineBreakTranslation == LineBreakTranslation::CrToLf ? LF : CR;
        return out;
    }
    if (x == LF) {
        if (rules.lineBreakRemoval != LineBreakRemoval::RemoveLF)
            text[out++] = rules.lineBreakTranslation == LineBreakTranslation::LfToCr ? CR : LF;
        return out;
    }
    text[out++] = x;
    return out;
}

// As a browser reads it, '<' starts a tag only before a letter, '/', '!' or
// '?'; any other is text, as in "1 < 2".
bool StartsTag(const unsigned char* text, std::size_t i, std::size_t n)
{
    if (i + 1 >= n)
        return false;
    const unsigned char c = text[i + 1];
    return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '/' || c == '!' || c == '?';
}

// Enough of the tag at text[i] for a person to find it, up to its line's end.
std::string TagExcerpt(const unsigned char* text, std::size_t i, std::size_t n)
{
    constexpr std::size_t kExcerpt = 16;
    std::size_t end = i;
    while (end < n && end - i < kExcerpt && !IsBreak(text[end]))
        ++end;
    return std::string(reinterpret_cast<const char*>(text + i), end - i);
}

// The first pass writes at or behind the byte it reads, so it works in place.
// A decoded character reference is written, never read again: the '<' of
// "&lt;" starts no tag, and "&amp;lt;" becomes "&lt;".
//
// With kPlaces, each of details.places (ascending) moves to where the byte
// it marked went, or where the next kept byte goes when the rules drop it.
template <bool kPlaces>
std::size_t CleanBytes(unsigned char* text, std::size_t n, const ConversionSettings& rules, ProgressScope* progress,
                       PreparationDetails& details)
{
    std::size_t neverCloses = n;
    std::size_t nextPlace = 0;
    // The byte the next place marks, kept apart so that a byte far from any
    // place costs one comparison.
    std::size_t placeAt = n;
    if constexpr (kPlaces)
        placeAt = details.places->empty() ? n : details.places->front();
    const bool decodeReferences = rules.removeHtmlTags && rules.handheldCharset;
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
        if (kPlaces && i >= placeAt) {
            std::vector<std::size_t>& places = *details.places;
            while (nextPlace < places.size() && places[nextPlace] <= i)
                places[nextPlace++] = out;
            placeAt = nextPlace < places.size() ? places[nextPlace] : n;
        }
        const unsigned char x = text[i];
        if (rules.removeHtmlTags && x == '&' && n - i >= 6 && std::memcmp(text + i, kNbsp, 6) == 0) {
            i += 6;
            continue;
        }
        if (decodeReferences && x == '&') {
            const DecodedReference ref = DecodeCharacterReference({reinterpret_cast<const char*>(text + i), n - i});
            if (ref.length != 0) {
                for (const char b : ref.Text())
                    out = KeepByte(text, out, static_cast<unsigned char>(b), rules);
                details.replaced += ref.replaced;
                i += ref.length;
                continue;
            }
        }
        if (rules.removeHtmlTags && x == '<' && i < neverCloses && StartsTag(text, i, n)) {
            if (const void* close = std::memchr(text + i + 1, '>', n - i - 1)) {
                i = static_cast<const unsigned char*>(close) - text + 1;
                continue;
            }
            // No '>' follows, so no later tag closes either: searching again
            // from each '<' would make the pass quadratic.
            neverCloses = i;
            details.unclosedTag = TagExcerpt(text, i, n);
        }
        ++i;
        out = KeepByte(text, out, x, rules);
    }
    if constexpr (kPlaces)
        for (std::size_t& place : std::span(*details.places).subspan(nextPlace))
            place = out;
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
                             ProgressScope* progress, PreparationDetails* details)
{
    PreparationDetails none;
    PreparationDetails& found = details ? *details : none;
    const bool places = found.places && !found.places->empty();
    const std::size_t m =
        places ? CleanBytes<true>(text, n, rules, progress, found) : CleanBytes<false>(text, n, rules, progress, found);
    if (rules.ignoreSingleLineBreaks)
        JoinSingleBreaks(text, m);
    return m;
}

}  // namespace folivo
