// The locale DLL stand-in: a string-resource file with localised texts.
//
// File format (8-bit text in the ANSI code page):
//
//     FOLIVO-STRINGS 1
//     # comment
//     143 s
//     251 Leerer Ausdruck
//     252 Die Locale-DLL kann nicht geladen werden:\s
//
// The first line must be the signature; a file without it does not load (as a
// file that is no DLL). Every other line that is not empty or a comment is a
// decimal string id, one blank or tab, and the text up to the end of the line
// (a trailing CR is dropped; \\ \n \r \t and \s stand for a backslash, LF, CR,
// tab and a blank, the last keeping trailing blanks visible). As with
// LoadString, a text is cut to 255 characters.
//
// Loading reads what it can: a malformed line is skipped. The same file serves
// as the engine's message catalogue, and a catalogue must be whole: a file with
// a malformed line loads, but its catalogue cannot be opened.
#pragma once

#include <framework/CString.h>

#include <map>
#include <memory>
#include <string>

namespace patternkit {

class StringResources {
public:
    // The text of string id, or null when the file has none.
    const std::string* Find(unsigned id) const;
    void Set(unsigned id, std::string text) { m_strings[id] = std::move(text); }

private:
    std::map<unsigned, std::string> m_strings;
};

enum class ResourceReading { lenient, strict };

// Reads a resource file; null when it cannot be loaded (or, strict, when a
// line is malformed).
std::shared_ptr<const StringResources> LoadStringResources(const std::string& path, ResourceReading reading);

// The three texts the component takes from the locale DLL.
struct LocaleDllTexts {
    CString whitespaceLetter;  // first character of string 143
    CString emptyExpression;   // string 251
    CString failure;           // string 252
};

// Finds the locale DLL for the base name localeDll and reads its texts into
// `texts` (left alone when nothing loads). Returns the file name that loaded,
// or an empty string.
CString ResolveLocaleDll(const CString& localeDll, LocaleDllTexts& texts);

// Language code and first letter of the country code of the user's locale
// environment (LC_ALL, LC_MESSAGES, LANG), e.g. "de" and "A" for de_AT.UTF-8;
// empty when the environment names no language.
void UserLanguageAndCountry(std::string& language, std::string& country);

}  // namespace patternkit
