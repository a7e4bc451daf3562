#include <core/SettingsValues.h>

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace folivo {

namespace {

constexpr SettingsValueInfo kValues[] = {
    {"CRLFCR", SettingsValueType::Dword},
    {"CRLFLF", SettingsValueType::Dword},
    {"CRLFNone", SettingsValueType::Dword},
    {"CRLFTCR", SettingsValueType::Dword},
    {"CRLFTLF", SettingsValueType::Dword},
    {"CRLFTNone", SettingsValueType::Dword},
    {"Tabs", SettingsValueType::Dword},
    {"HTML", SettingsValueType::Dword},
    {"ASCII", SettingsValueType::Dword},
    {"Single", SettingsValueType::Dword},
    {"Bookmarks", SettingsValueType::String},
    {"PalmDocBlock", SettingsValueType::Dword},
    {"PalmDocCompressOn", SettingsValueType::Dword},
    {"PalmDocCompressOff", SettingsValueType::Dword},
    {"zTxtBlock", SettingsValueType::Dword},
    {"zTxtCompressRandom", SettingsValueType::Dword},
    {"zTxtCompressEntire", SettingsValueType::Dword},
    {"ShExt", SettingsValueType::Dword},
    {"Dleft", SettingsValueType::Dword},
    {"Dright", SettingsValueType::Dword},
    {"Dtop", SettingsValueType::Dword},
    {"Dbottom", SettingsValueType::Dword},
    {"Pleft", SettingsValueType::Dword},
    {"Pright", SettingsValueType::Dword},
    {"Ptop", SettingsValueType::Dword},
    {"Pbottom", SettingsValueType::Dword},
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

bool ReadDword(SettingsKey& key, const char* name, std::uint32_t& value)
{
    unsigned char bytes[4];
    StoreDword(value, bytes);
    if (QueryValue(key, name, bytes, sizeof bytes) != SETTINGS_OK)
        return false;
    value = LoadDword(bytes);
    return true;
}

bool ReadString(SettingsKey& key, const char* name, CString& value, unsigned long bufferSize)
{
    std::vector<char> buffer(bufferSize + 1, '\0');
    if (QueryValue(key, name, buffer.data(), bufferSize) != SETTINGS_OK)
        return false;
    value.assign(buffer.data(), std::strlen(buffer.data()));
    return true;
}

}  // namespace folivo
