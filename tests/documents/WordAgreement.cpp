#include "WordAgreement.h"

#include <documents/Document.h>
#include <framework/Windows1252.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unordered_map>

namespace agreement {

namespace {

// Decodes one character at `i`, or returns false at malformed UTF-8.
bool NextUtf8(std::string_view s, std::size_t& i, char32_t& c)
{
    const auto b = static_cast<unsigned char>(s[i]);
    const int length = b < 0x80                 ? 1
                       : b >= 0xC2 && b <= 0xDF ? 2
                       : b >= 0xE0 && b <= 0xEF ? 3
                       : b >= 0xF0 && b <= 0xF4 ? 4
                                                : 0;
    if (length == 0 || s.size() - i < static_cast<std::size_t>(length))
        return false;
    c = length == 1 ? b : b & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (t & 0x3F);
    }
    i += length;
    return true;
}

bool IsUtf8(std::string_view s)
{
    char32_t c;
    for (std::size_t i = 0; i < s.size();)
        if (!NextUtf8(s, i, c))
            return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Letters and digits make words; white space and dashes part them, as the
// editions set a dash with spaces or without. Other punctuation, quotes and
// symbols are left out without parting words, so that words run together
// show as one.
enum class Kind { Letter, Space, Dash, Mark };

Kind KindOf(char32_t c)
{
    if (c < 0x80) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return Kind::Letter;
        if (c == '-')
            return Kind::Dash;
        return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\n' ? Kind::Space : Kind::Mark;
    }
    if (c == 0xA0 || c == 0xFEFF || c == 0x3000 || (c >= 0x2000 && c <= 0x200B))
        return Kind::Space;
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212)
        return Kind::Dash;
    if (c < 0xC0 || c == 0xD7 || c == 0xF7 || (c >= 0x2016 && c <= 0x2BFF) || (c >= 0x3001 && c <= 0x303F))
        return Kind::Mark;
    return Kind::Letter;
}

// Lower case without accents for the letters of Latin-1 and the ligature oe,
// as the editions in ASCII spell them; lower case for the other letters of
// Latin Extended-A.
void AppendFolded(std::string& out, char32_t c)
{
    static const char* const kLatin1[64] = {"a", "a", "a", "a", "a",  "a",  "ae", "c", "e", "e", "e",  "e", "i",
                                            "i", "i", "i", "d", "n",  "o",  "o",  "o", "o", "o", "",   "o", "u",
                                            "u", "u", "u", "y", "th", "ss", "a",  "a", "a", "a", "a",  "a", "ae",
                                            "c", "e", "e", "e", "e",  "i",  "i",  "i", "i", "d", "n",  "o", "o",
                                            "o", "o", "o", "",  "o",  "u",  "u",  "u", "u", "y", "th", "y"};
    if (c >= 'A' && c <= 'Z')
        out += static_cast<char>(c + 0x20);
    else if (c < 0x80)
        out += static_cast<char>(c);
    else if (c >= 0xC0 && c <= 0xFF)
        out += kLatin1[c - 0xC0];
    else if (c == 0x152 || c == 0x153)
        out += "oe";
    else
        AppendUtf8(out, c >= 0x100 && c <= 0x17F && c % 2 == 0 ? c + 1 : c);
}

struct Paragraph {
    std::size_t offset;  // of its first byte in the text
    std::vector<std::string> words;
};

std::vector<Paragraph> Split(std::string_view text)
{
    const bool utf8 = IsUtf8(text);
    std::vector<Paragraph> paragraphs;
    Paragraph current{0, {}};
    std::string word;
    bool lineBlank = true;
    auto endWord = [&] {
        if (!word.empty())
            current.words.push_back(std::move(word));
        word.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        if (utf8)
            NextUtf8(text, i, c);
        else
            c = folivo::Cp1252ToUnicode(static_cast<unsigned char>(text[i++]));
        if (c == '\n') {
            endWord();
            if (lineBlank && !current.words.empty()) {
                paragraphs.push_back(std::move(current));
                current = {i, {}};
            } else if (current.words.empty()) {
                current.offset = i;
            }
            lineBlank = true;
            continue;
        }
        switch (KindOf(c)) {
        case Kind::Letter: AppendFolded(word, c); break;
        case Kind::Space: endWord(); continue;
        case Kind::Dash: endWord(); break;
        case Kind::Mark: break;
        }
        lineBlank = false;
    }
    endWord();
    if (!current.words.empty())
        paragraphs.push_back(std::move(current));
    return paragraphs;
}

// Gives each distinct value a number, so that words and paragraphs compare
// as integers.
template <typename Key, typename Hash = std::hash<Key>>
class Numbers {
public:
    int operator()(const Key& key)
    {
        const auto [at, added] = m_numbers.try_emplace(key, static_cast<int>(m_keys.size()));
        if (added)
            m_keys.push_back(&at->first);
        return at->second;
    }
    // Elements of an unordered map stay where they are as it grows.
    const Key& operator[](int number) const { return *m_keys[static_cast<std::size_t>(number)]; }

private:
    std::unordered_map<Key, int, Hash> m_numbers;
    std::vector<const Key*> m_keys;
};

struct SequenceHash {
    std::size_t operator()(const std::vector<int>& v) const
    {
        std::size_t h = v.size();
        for (const int x : v)
            h = h * 1000003u ^ static_cast<std::size_t>(x);
        return h;
    }
};

using Matches = std::vector<std::pair<std::size_t, std::size_t>>;

// Myers' O((N+M)D) difference, split at the middle of a shortest edit
// script so that memory stays linear in the lengths. Diagonals are x - y in
// positions of the whole sequences; the searches' vectors are indexed by them.
class Differ {
public:
    Differ(const std::vector<int>& a, const std::vector<int>& b)
        : m_a(a), m_b(b), m_zero(static_cast<std::ptrdiff_t>(b.size()) + 1), m_forward(a.size() + b.size() + 3),
          m_backward(m_forward.size())
    {
    }

    void Compare(std::ptrdiff_t aLo, std::ptrdiff_t aHi, std::ptrdiff_t bLo, std::ptrdiff_t bHi, Matches& out)
    {
        while (aLo < aHi && bLo < bHi && Same(aLo, bLo))
            out.emplace_back(aLo++, bLo++);
        std::ptrdiff_t suffix = 0;
        while (aLo < aHi && bLo < bHi && Same(aHi - 1, bHi - 1))
            --aHi, --bHi, ++suffix;
        if (aLo < aHi && bLo < bHi) {
            // Both are left and differ at both ends: the script costs two or
            // more, so each half costs less than the whole.
            const auto [x, y] = Split(aLo, aHi, bLo, bHi);
            Compare(aLo, x, bLo, y, out);
            Compare(x, aHi, y, bHi, out);
        }
        for (std::ptrdiff_t k = 0; k < suffix; ++k)
            out.emplace_back(aHi + k, bHi + k);
    }

private:
    bool Same(std::ptrdiff_t i, std::ptrdiff_t j) const
    {
        return m_a[static_cast<std::size_t>(i)] == m_b[static_cast<std::size_t>(j)];
    }
    std::ptrdiff_t& F(std::ptrdiff_t diagonal) { return m_forward[static_cast<std::size_t>(m_zero + diagonal)]; }
    std::ptrdiff_t& R(std::ptrdiff_t diagonal) { return m_backward[static_cast<std::size_t>(m_zero + diagonal)]; }

    // A point on a shortest path from (aLo, bLo) to (aHi, bHi) where the
    // searches from both ends meet. Diagonals just outside the ones searched
    // hold values that are never chosen.
    std::pair<std::ptrdiff_t, std::ptrdiff_t> Split(std::ptrdiff_t aLo, std::ptrdiff_t aHi, std::ptrdiff_t bLo,
                                                    std::ptrdiff_t bHi)
    {
        const std::ptrdiff_t lowest = aLo - bHi, highest = aHi - bLo;
        const std::ptrdiff_t fMid = aLo - bLo, rMid = aHi - bHi;
        const bool odd = (fMid - rMid) % 2 != 0;
        std::ptrdiff_t fMin = fMid, fMax = fMid, rMin = rMid, rMax = rMid;
        F(fMid) = aLo;
        R(rMid) = aHi;
        for (;;) {
            fMin > lowest ? F(--fMin - 1) = -1 : ++fMin;
            fMax < highest ? F(++fMax + 1) = -1 : --fMax;
            for (std::ptrdiff_t d = fMax; d >= fMin; d -= 2) {
                const std::ptrdiff_t below = F(d - 1), above = F(d + 1);
                std::ptrdiff_t x = below >= above ? below + 1 : above;
                std::ptrdiff_t y = x - d;
                while (x < aHi && y < bHi && Same(x, y))
                    ++x, ++y;
                F(d) = x;
                if (odd && rMin <= d && d <= rMax && R(d) <= x)
                    return {x, y};
            }
            rMin > lowest ? R(--rMin - 1) = PTRDIFF_MAX : ++rMin;
            rMax < highest ? R(++rMax + 1) = PTRDIFF_MAX : --rMax;
            for (std::ptrdiff_t d = rMax; d >= rMin; d -= 2) {
                const std::ptrdiff_t below = R(d - 1), above = R(d + 1);
                std::ptrdiff_t x = below < above ? below : above - 1;
                std::ptrdiff_t y = x - d;
                while (x > aLo && y > bLo && Same(x - 1, y - 1))
                    --x, --y;
                R(d) = x;
                if (!odd && fMin <= d && d <= fMax && x <= F(d))
                    return {x, y};
            }
        }
    }

    const std::vector<int>& m_a;
    const std::vector<int>& m_b;
    std::ptrdiff_t m_zero;  // where diagonal 0 is in the vectors
    std::vector<std::ptrdiff_t> m_forward, m_backward;
};

}  // namespace

const char* RegionName(Region region)
{
    return region == Region::Header ? "header" : region == Region::Body ? "body" : "footer";
}

std::vector<std::vector<std::string>> ParagraphWords(std::string_view text)
{
    std::vector<std::vector<std::string>> words;
    for (Paragraph& p : Split(text))
        words.push_back(std::move(p.words));
    return words;
}

Matches CommonSubsequence(const std::vector<int>& a, const std::vector<int>& b)
{
    Matches matches;
    Differ(a, b).Compare(0, static_cast<std::ptrdiff_t>(a.size()), 0, static_cast<std::ptrdiff_t>(b.size()), matches);
    return matches;
}

Agreement Compare(std::string_view textEdition, std::string_view laidOut)
{
    const std::vector<Paragraph> text = Split(textEdition);
    const std::vector<Paragraph> html = Split(laidOut);
    const std::size_t start = textEdition.find("*** START OF");
    const std::size_t end = textEdition.find("*** END OF");
    const auto regionOf = [&](std::size_t paragraph) {
        if (paragraph >= text.size())
            return end == std::string_view::npos ? Region::Body : Region::Footer;
        const std::size_t at = text[paragraph].offset;
        if (start != std::string_view::npos && at <= start)
            return Region::Header;
        if (end != std::string_view::npos &&
            (paragraph + 1 < text.size() ? text[paragraph + 1].offset : SIZE_MAX) > end)
            return Region::Footer;
        return Region::Body;
    };

    Numbers<std::string> words;
    Numbers<std::vector<int>, SequenceHash> paragraphNumbers;
    const auto number = [&](const std::vector<Paragraph>& paragraphs, std::vector<std::vector<int>>& wordIds,
                            std::vector<int>& ids) {
        for (const Paragraph& p : paragraphs) {
            std::vector<int> numbers;
            for (const std::string& w : p.words)
                numbers.push_back(words(w));
            ids.push_back(paragraphNumbers(numbers));
            wordIds.push_back(std::move(numbers));
        }
    };
    std::vector<std::vector<int>> textWords, htmlWords;
    std::vector<int> textIds, htmlIds;
    number(text, textWords, textIds);
    number(html, htmlWords, htmlIds);

    Agreement result;
    result.text.paragraphs = text.size();
    result.html.paragraphs = html.size();
    std::vector<bool> textBad(text.size()), htmlBad(html.size());

    // Words of the paragraphs between two that agree whole, aligned one by one.
    const auto compareGap = [&](std::size_t t0, std::size_t t1, std::size_t h0, std::size_t h1) {
        if (t0 == t1 && h0 == h1)
            return;
        std::vector<int> a, b;
        std::vector<std::size_t> aParagraph, bParagraph;
        for (std::size_t p = t0; p < t1; ++p)
            for (const int w : textWords[p])
                a.push_back(w), aParagraph.push_back(p);
        for (std::size_t p = h0; p < h1; ++p)
            for (const int w : htmlWords[p])
                b.push_back(w), bParagraph.push_back(p);
        Matches matches = CommonSubsequence(a, b);
        matches.emplace_back(a.size(), b.size());
        std::size_t i = 0, j = 0;
        for (const auto& [mi, mj] : matches) {
            if (mi > i || mj > j) {
                const std::size_t tp = i < a.size() ? aParagraph[i] : t1;
                const std::size_t hp = j < b.size() ? bParagraph[j] : h1;
                Hunk hunk{regionOf(tp), tp, hp, {}, {}};
                for (std::size_t k = i; k < mi; ++k)
                    hunk.lost.push_back(words[a[k]]), textBad[aParagraph[k]] = true;
                for (std::size_t k = j; k < mj; ++k)
                    hunk.added.push_back(words[b[k]]), htmlBad[bParagraph[k]] = true;
                // Words put between two words of one paragraph spoil it too.
                if (i > 0 && mi < a.size() && aParagraph[i - 1] == aParagraph[mi])
                    textBad[aParagraph[mi]] = true;
                if (j > 0 && mj < b.size() && bParagraph[j - 1] == bParagraph[mj])
                    htmlBad[bParagraph[mj]] = true;
                result.hunks.push_back(std::move(hunk));
            }
            i = mi + 1;
            j = mj + 1;
        }
    };

    Matches paragraphs = CommonSubsequence(textIds, htmlIds);
    result.text.whole = result.html.whole = paragraphs.size();
    for (const auto& [mt, mh] : paragraphs)
        result.textBody.whole += regionOf(mt) == Region::Body;
    paragraphs.emplace_back(text.size(), html.size());
    std::size_t t = 0, h = 0;
    for (const auto& [mt, mh] : paragraphs) {
        compareGap(t, mt, h, mh);
        t = mt + 1;
        h = mh + 1;
    }
    for (std::size_t p = 0; p < text.size(); ++p) {
        result.text.agreeing += !textBad[p];
        if (regionOf(p) == Region::Body) {
            ++result.textBody.paragraphs;
            result.textBody.agreeing += !textBad[p];
        }
    }
    for (std::size_t p = 0; p < html.size(); ++p)
        result.html.agreeing += !htmlBad[p];
    return result;
}

std::vector<Editions> EditionPairs(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Editions> pairs;
    for (const auto& html : files) {
        const std::string name = html.filename().string();
        if (!name.ends_with("-h.htm"))
            continue;
        const std::string stem = name.substr(0, name.size() - 6);
        for (const auto& text : files) {
            const std::string t = text.filename().string();
            if (t.ends_with(".txt") && t.starts_with(stem) && (t == stem + ".txt" || t[stem.size()] == '-'))
                pairs.push_back({html, text});
        }
    }
    return pairs;
}

std::string LaidOut(const std::filesystem::path& html)
{
    std::ifstream in(html, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    documents::Document document;
    const std::string problem =
        documents::OpenDocument(html.filename().string(), std::move(bytes), {true, 1u << 30}, document);
    if (!problem.empty() || !document.laidOut)
        throw std::runtime_error(html.string() + ": " + problem);
    return std::move(document.text);
}

}  // namespace agreement
