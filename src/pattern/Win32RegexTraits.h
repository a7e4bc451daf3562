// The engine traits of the localeWin32 model.
//
// The national-language functions of Windows are not available here, so this
// class stands in for them for 8-bit text in the Windows-1252 code page,
// whatever the process locale is: letters include the accented ones, Š Œ Ž Ÿ
// and their lower-case forms, ß, µ, ƒ, ª and º; case folding pairs À..Þ with
// à..þ (not × and ÷) and Š Œ Ž Ÿ with š œ ž ÿ; the no-break space is a blank;
// the bytes 1252 leaves undefined are control characters. Collation orders by
// byte value, and the primary sort key (equivalence classes such as [[=e=]])
// ignores case and accents. Digits are 0 to 9 only.
//
// The traits' locale value carries the message catalogue (the locale DLL):
// strings 200 + code replace the engine's error texts.
#pragma once

#include "LocaleDll.h"

#include <boost/regex.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace patternkit {

class Win32RegexTraits {
public:
    typedef char char_type;
    typedef std::size_t size_type;
    typedef std::string string_type;
    typedef std::uint32_t char_class_type;
    typedef void boost_extensions_tag;
    struct locale_type {
        std::shared_ptr<const StringResources> catalogue;
    };

    Win32RegexTraits() = default;
    Win32RegexTraits(const Win32RegexTraits&) = delete;
    Win32RegexTraits& operator=(const Win32RegexTraits&) = delete;

    static size_type length(const char_type* p) { return std::char_traits<char>::length(p); }

    boost::regex_constants::syntax_type syntax_type(char c) const;
    boost::regex_constants::escape_syntax_type escape_syntax_type(char c) const;
    char translate(char c) const { return c; }
    char translate_nocase(char c) const { return tolower(c); }
    char translate(char c, bool icase) const { return icase ? tolower(c) : c; }
    char tolower(char c) const;
    char toupper(char c) const;
    string_type transform(const char* p1, const char* p2) const { return string_type(p1, p2); }
    string_type transform_primary(const char* p1, const char* p2) const;
    char_class_type lookup_classname(const char* p1, const char* p2) const;
    string_type lookup_collatename(const char* p1, const char* p2) const;
    bool isctype(char c, char_class_type mask) const;
    int value(char c, int radix) const;
    boost::intmax_t toi(const char*& p1, const char* p2, int radix) const;
    std::string error_string(boost::regex_constants::error_type e) const;

    locale_type imbue(locale_type l);
    locale_type getloc() const { return m_locale; }

private:
    locale_type m_locale;
};

}  // namespace patternkit
