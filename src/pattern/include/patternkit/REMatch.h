// One entry of a match list: the text of a sub-match and its offset.
#pragma once

#include <framework/CString.h>

#include <cstddef>
#include <ostream>
#include <string_view>
#include <type_traits>
#include <vector>

// The text of one match-list entry, used as the string it stands for: it
// converts to const CString& and to std::string_view, joins with + and offers
// the read-only members of a string (size, data, substr, find, compare, ...).
//
// The lists a running operation hands to its event handlers refer straight
// into the searched text, so delivering a match never copies the text after
// it (the suffix entry would otherwise cost a copy of the rest of the text per
// match). The text is materialised on first use as a CString; any copy of an
// entry owns its bytes, so a copied list stays valid after the event returns.
class REMatchText {
    // Anything that converts to a string view, other than REMatchText itself.
    template <class T>
    using IfText =
        std::enable_if_t<std::is_convertible<const T&, std::string_view>::value && !std::is_same<T, REMatchText>::value,
                         bool>;

public:
    using size_type = std::size_t;
    static constexpr size_type npos = CString::npos;

    REMatchText() = default;
    REMatchText(CString text) : m_text(std::move(text)), m_filled(true) {}
    REMatchText(const char* text) : REMatchText(CString(text)) {}

    // A text that refers to [data, data + size) without owning it.
    static REMatchText Refer(const char* data, size_type size)
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
    // The text without a copy.
    std::string_view View() const noexcept
    {
        return m_filled ? std::string_view(m_text) : std::string_view(m_data, m_size);
    }
    operator std::string_view() const noexcept { return View(); }

    size_type size() const noexcept { return View().size(); }
    size_type length() const noexcept { return size(); }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return View().data(); }
    const char* c_str() const { return Str().c_str(); }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }
    char operator[](size_type i) const noexcept { return View()[i]; }

    // As the members of CString of the same names; substr throws
    // std::out_of_range when pos is past the end.
    CString substr(size_type pos = 0, size_type count = npos) const { return CString(View().substr(pos, count)); }
    size_type find(std::string_view s, size_type pos = 0) const noexcept { return View().find(s, pos); }
    size_type find(char c, size_type pos = 0) const noexcept { return View().find(c, pos); }
    size_type rfind(std::string_view s, size_type pos = npos) const noexcept { return View().rfind(s, pos); }
    size_type rfind(char c, size_type pos = npos) const noexcept { return View().rfind(c, pos); }
    int compare(std::string_view s) const noexcept { return View().compare(s); }

    friend bool operator==(const REMatchText& a, const REMatchText& b) noexcept { return a.View() == b.View(); }
    friend bool operator!=(const REMatchText& a, const REMatchText& b) noexcept { return a.View() != b.View(); }
    template <class T, IfText<T> = true>
    friend bool operator==(const REMatchText& a, const T& b) noexcept
    {
        return a.View() == std::string_view(b);
    }
    template <class T, IfText<T> = true>
    friend bool operator==(const T& a, const REMatchText& b) noexcept
    {
        return std::string_view(a) == b.View();
    }
    template <class T, IfText<T> = true>
    friend bool operator!=(const REMatchText& a, const T& b) noexcept
    {
        return a.View() != std::string_view(b);
    }
    template <class T, IfText<T> = true>
    friend bool operator!=(const T& a, const REMatchText& b) noexcept
    {
        return std::string_view(a) != b.View();
    }

    friend CString operator+(const REMatchText& a, const REMatchText& b) { return Join(a.View(), b.View()); }
    template <class T, IfText<T> = true>
    friend CString operator+(const REMatchText& a, const T& b)
    {
        return Join(a.View(), std::string_view(b));
    }
    template <class T, IfText<T> = true>
    friend CString operator+(const T& a, const REMatchText& b)
    {
        return Join(std::string_view(a), b.View());
    }
    friend CString operator+(const REMatchText& a, char b) { return Join(a.View(), std::string_view(&b, 1)); }
    friend CString operator+(char a, const REMatchText& b) { return Join(std::string_view(&a, 1), b.View()); }

    friend std::ostream& operator<<(std::ostream& os, const REMatchText& t) { return os << t.View(); }

private:
    static CString Join(std::string_view a, std::string_view b)
    {
        CString joined;
        joined.reserve(a.size() + b.size());
        joined.append(a).append(b);
        return joined;
    }

    const char* m_data = nullptr;
    size_type m_size = 0;
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
