#include "LocaleDll.h"

#include <platform/Files.h>

#include <cstdlib>
#include <string_view>

namespace patternkit {
namespace {

constexpr char kSignature[] = "FOLIVO-STRINGS 1";
// Larger files are no string tables; refusing them keeps a mistaken name
// (a book, a disk image) from being read whole.
constexpr std::size_t kMaxFileSize = 1 << 20;
constexpr std::size_t kMaxText = 255;
constexpr unsigned kMaxId = 65535;

bool Unescape(std::string_view in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i == in.size())
            return false;
        switch (in[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 's': out += ' '; break;
        default: return false;
        }
    }
    if (out.size() > kMaxText)
        out.resize(kMaxText);
    return true;
}

bool ParseLine(std::string_view line, unsigned& id, std::string& text)
{
    std::size_t i = 0;
    unsigned long value = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        value = value * 10 + static_cast<unsigned long>(line[i] - '0');
        if (value > kMaxId)
            return false;
        ++i;
    }
    if (i == 0 || i == line.size() || (line[i] != ' ' && line[i] != '\t'))
        return false;
    id = static_cast<unsigned>(value);
    return Unescape(line.substr(i + 1), text);
}

}  // namespace

const std::string* StringResources::Find(unsigned id) const
{
    const auto it = m_strings.find(id);
    return it == m_strings.end() ? nullptr : &it->second;
}

std::shared_ptr<const StringResources> LoadStringResources(const std::string& path, ResourceReading reading)
{
    if (path.empty())
        return nullptr;
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes, kMaxFileSize))
        return nullptr;
    std::string_view rest = bytes;
    // The next line without its break (LF, or CR LF); false at the end.
    const auto nextLine = [&rest](std::string_view& line) {
        if (rest.empty())
            return false;
        const std::size_t end = rest.find('\n');
        line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    };
    std::string_view line;
    if (!nextLine(line) || line != kSignature)
        return nullptr;

    auto table = std::make_shared<StringResources>();
    while (nextLine(line)) {
        if (line.empty() || line[0] == '#')
            continue;
        unsigned id = 0;
        std::string text;
        if (ParseLine(line, id, text))
            table->Set(id, std::move(text));
        else if (reading == ResourceReading::strict)
            return nullptr;
    }
    return table;
}

void UserLanguageAndCountry(std::string& language, std::string& country)
{
    language.clear();
    country.clear();
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = std::getenv(name);
        if (value && *value)
            break;
        value = nullptr;
    }
    if (!value)
        return;
    const std::string locale(value);
    if (locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
        return;
    const std::size_t end = locale.find_first_of("_.@");
    language = locale.substr(0, std::min<std::size_t>(end, 2));
    if (end != std::string::npos && locale[end] == '_' && end + 1 < locale.size())
        country = locale.substr(end + 1, 1);
}

CString ResolveLocaleDll(const CString& localeDll, LocaleDllTexts& texts)
{
    // A DLL that does not load supplies no texts, not those of an earlier one.
    texts = LocaleDllTexts{};
    std::shared_ptr<const StringResources> loaded;
    CString name;
    auto tryLoad = [&](const CString& candidate) {
        loaded = LoadStringResources(candidate, ResourceReading::lenient);
        if (loaded)
            name = candidate;
        return loaded != nullptr;
    };

    if (!localeDll.empty()) {
        const std::size_t slash = localeDll.find_last_of("\\/");
        const std::size_t dot = localeDll.rfind('.');
        const bool hasExtension = dot != CString::npos && (slash == CString::npos || dot > slash);
        if (hasExtension) {
            if (!tryLoad(localeDll))
                return CString();
        } else {
            std::string language, country;
            UserLanguageAndCountry(language, country);
            if (!language.empty()) {
                if (country.empty() || !tryLoad(localeDll + "." + language + country))
                    tryLoad(localeDll + "." + language);
            }
        }
    }
    if (!loaded && !tryLoad(localeDll + ".dll"))
        return CString();

    if (name.size() < 256) {
        auto text = [&](unsigned id) {
            const std::string* s = loaded->Find(id);
            return s ? *s : CString();
        };
        texts.whitespaceLetter = text(143).substr(0, 1);
        texts.emptyExpression = text(251);
        texts.failure = text(252);
    }
    return name;
}

}  // namespace patternkit
