#include <core/SettingsValues.h>

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace folivo {

namespace {

using enum SettingsValueType;
using enum SettingsValueKind;

constexpr SettingsValueInfo kValues[] = {
    {"CRLFCR", Dword, OnOff, "0", "text rule: remove every CR (0x0D)"},
    {"CRLFLF", Dword, OnOff, "0", "text rule: remove every LF (0x0A)"},
    {"CRLFNone", Dword, OnOff, "1", "text rule: remove no line break"},
    {"CRLFTCR", Dword, OnOff, "0", "text rule: write each CR as LF"},
    {"CRLFTLF", Dword, OnOff, "0", "text rule: write each LF as CR"},
    {"CRLFTNone", Dword, OnOff, "1", "text rule: translate no line break"},
    {"Tabs", Dword, OnOff, "0", "text rule: turn tabs into line breaks"},
    {"HTML", Dword, OnOff, "0", "text rule: remove HTML tags and &nbsp;"},
    {"ASCII", Dword, OnOff, "0", "text rule: keep control bytes below 0x20"},
    {"Single", Dword, OnOff, "0", "text rule: join lines split by a single line break"},
    {"Charset", Dword, OnOff, "1",
     "text rule: Unicode documents and HTML character references in the hand-held's Windows-1252"},
    {"HtmlLayout", Dword, OnOff, "1", "text rule: lay out HTML documents as text"},
    {"Bookmarks", String, Pattern, "", "bookmark pattern: each line it matches becomes a bookmark"},
    {"ContentsBookmarks", Dword, OnOff, "1",
     "bookmarks from a book's table of contents or an HTML document's headings"},
    {"PalmDocBlock", Dword, BlockSize, "4", "PalmDoc record size in KB"},
    {"PalmDocCompressOn", Dword, OnOff, "1", "PalmDoc compression on"},
    {"PalmDocCompressOff", Dword, OnOff, "0", "PalmDoc compression off"},
    {"zTxtBlock", Dword, BlockSize, "8", "zTXT record size in KB"},
    {"zTxtCompressRandom", Dword, OnOff, "1", "zTXT random-access compression"},
    {"zTxtCompressEntire", Dword, OnOff, "0", "zTXT entire-document compression"},
    {"ShExt", Dword, ShellIntegration, "0", "desktop integration: 8 on, 0 off"},
    {"Dleft", Dword, Placement, nullptr, "main window: left edge"},
    {"Dright", Dword, Placement, nullptr, "main window: right edge"},
    {"Dtop", Dword, Placement, nullptr, "main window: top edge"},
    {"Dbottom", Dword, Placement, nullptr, "main window: bottom edge"},
    {"Pleft", Dword, Placement, nullptr, "preview window: left edge"},
    {"Pright", Dword, Placement, nullptr, "preview window: right edge"},
    {"Ptop", Dword, Placement, nullptr, "preview window: top edge"},
    {"Pbottom", Dword, Placement, nullptr, "preview window: bottom edge"},
};

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::span<const SettingsValueInfo> AllSettingsValues()
{
    return kValues;
}

bool SameValueName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, {}, Lower, Lower);
}

const SettingsValueInfo* FindSettingsValue(std::string_view name)
{
    for (const SettingsValueInfo& info : kValues) {
        if (SameValueName(info.name, name))
            return &info;
    }
    return nullptr;
}

namespace {

unsigned long StoredType(SettingsValueType type)
{
    return type == SettingsValueType::String ? SETTINGS_STRING : SETTINGS_DWORD;
}

}  // namespace

bool ReadDword(SettingsKey& key, const char* name, std::uint32_t& value)
{
    unsigned char bytes[4];
    unsigned long written = 0;
    unsigned long type = 0;
    if (QueryValue(key, name, bytes, sizeof bytes, &written, &type) != SETTINGS_OK || type != SETTINGS_DWORD ||
        written != sizeof bytes)
        return false;
    value = LoadDword(bytes);
    return true;
}

bool ReadString(SettingsKey& key, const char* name, CString& value, unsigned long bufferSize)
{
    std::vector<char> buffer(bufferSize + 1, '\0');
    unsigned long type = 0;
    if (QueryValue(key, name, buffer.data(), bufferSize, nullptr, &type) != SETTINGS_OK || type != SETTINGS_STRING)
        return false;
    value.assign(buffer.data(), std::strlen(buffer.data()));
    return true;
}

bool StoredWithOtherType(SettingsKey& key, const char* name, SettingsValueType type)
{
    unsigned long size = 0;
    unsigned long stored = 0;
    return QueryValue(key, name, nullptr, 0, &size, &stored) == SETTINGS_OK && stored != StoredType(type);
}

}  // namespace folivo
