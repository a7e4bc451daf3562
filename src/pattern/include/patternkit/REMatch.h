// One entry of a match list: the text of a sub-match and its offset.
#pragma once

#include <framework/CString.h>

#include <cstddef>
#include <ostream>
#include <string_view>
#include <vector>

// The text of one match-list entry.
//
// The lists a running operation hands to its event handlers refer straight
// into the searched text, so delivering a match never copies the text after
// it (the suffix entry would otherwise cost a copy of the rest of the text per
// match). The text is materialised on first use as a CString; any copy of an
// entry owns its bytes, so a copied list stays valid after the event returns.
class REMatchText {
public:
    REMatchText() = default;
    REMatchText(CString text) : m_text(std::move(text)), m_filled(true) {}
    REMatchText(const char* text) : REMatchText(CString(text)) {}

    // A text that refers to [data, data + size) without owning it.
    static REMatchText Refer(const char* data, std::size_t size)
    {
        REMatchText t;
        t.m_data = data;
        t.m_size = size;
        t.m_filled = false;
        return t;
    }

    REMatchText(const REMatchText& other) : m_text(other.View()), m_filled(true) {}
    REMatchText(REMatchText&&) noexcept = default;
    REMatchText& operator=(const REMatchText& other)
    {
        if (this != &other) {
            CString text(other.View());
            *this = REMatchText(std::move(text));
        }
        return *this;
    }
    REMatchText& operator=(REMatchText&&) noexcept = default;

    // The text as a CString (made on first use when the entry refers to the
    // searched text).
    const CString& Str() const
    {
        if (!m_filled) {
            m_text.assign(m_data, m_size);
            m_filled = true;
        }
        return m_text;
    }
    operator const CString&() const { return Str(); }

    std::string_view View() const { return m_filled ? std::string_view(m_text) : std::string_view(m_data, m_size); }
    std::size_t size() const { return m_filled ? m_text.size() : m_size; }
    std::size_t length() const { return size(); }
    bool empty() const { return size() == 0; }
    const char* c_str() const { return Str().c_str(); }

    friend bool operator==(const REMatchText& a, const REMatchText& b) { return a.View() == b.View(); }
    friend bool operator==(const REMatchText& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const REMatchText& a, const char* b) { return a.View() == std::string_view(b); }
    friend bool operator==(const REMatchText& a, const CString& b) { return a.View() == std::string_view(b); }
    friend std::ostream& operator<<(std::ostream& os, const REMatchText& t) { return os << t.View(); }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    mutable CString m_text;
    mutable bool m_filled = true;
};

// One entry of a match list.
struct REMatch {
    REMatchText text;   // the characters of the sub-match; empty when it did not take part
    int position = -1;  // offset from the start of the searched text; -1 when it did not take part
};

// Entry 0 the whole match, entries 1..n the sub-expressions in order of their
// opening parenthesis, then (for Match, MatchAll, Search, Grep and Merge) the
// prefix and the suffix.
using REMatchList = std::vector<REMatch>;
