// folivo defaults [NAME [VALUE]]: the stored defaults, listed, read or set.
#include "Arguments.h"
#include "Commands.h"
#include "Usage.h"

#include <core/SettingsValues.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

namespace folivo::cli {

namespace {

// Window rectangles may lie left of or above the screen's origin.
bool IsPlacement(std::string_view name)
{
    constexpr std::string_view kSides[] = {"left", "right", "top", "bottom"};
    if (name.size() < 2 || (name[0] != 'D' && name[0] != 'P'))
        return false;
    for (std::string_view side : kSides)
        if (name.substr(1) == side)
            return true;
    return false;
}

bool IsBlockSize(std::string_view name)
{
    return name == "PalmDocBlock" || name == "zTxtBlock";
}

// Large enough to show a pattern text the program itself would ignore as too long.
constexpr unsigned long kDisplayBufferSize = 1u << 20;

bool OpenStore(SettingsKey& key)
{
    unsigned long disposition = 0;
    if (OpenSettingsKey(key, disposition, kSettingsKeyPath) == SETTINGS_OK)
        return true;
    ReportError("the settings store cannot be opened");
    return false;
}

// The stored value as text, or false when it is not stored.
bool ReadAsText(SettingsKey& key, const SettingsValueInfo& info, std::string& text)
{
    if (info.type == SettingsValueType::String)
        return ReadString(key, info.name, text, kDisplayBufferSize);
    std::uint32_t value = 0;
    if (!ReadDword(key, info.name, value))
        return false;
    text = IsPlacement(info.name) ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
    return true;
}

// One line per value: line breaks and other control bytes are written as escapes.
std::string Escaped(std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : text) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else if (c < 0x20 || c == 0x7F)
            escaped += std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
        else
            escaped += static_cast<char>(c);
    }
    return escaped;
}

const char* TypeName(const SettingsValueInfo& info)
{
    return info.type == SettingsValueType::String ? "SZ" : "DWORD";
}

int ListValues()
{
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    for (const SettingsValueInfo& info : AllSettingsValues()) {
        std::string text;
        if (ReadAsText(key, info, text))
            std::printf("%-20s %-5s %s\n", info.name, TypeName(info), Escaped(text).c_str());
    }
    return kExitOk;
}

int PrintValue(const SettingsValueInfo& info)
{
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    std::string text;
    if (!ReadAsText(key, info, text)) {
        ReportError(std::string(info.name) + " is not set");
        return kExitFailed;
    }
    std::printf("%s\n", text.c_str());
    if (info.type == SettingsValueType::String && text.size() >= kBookmarksBufferSize)
        ReportWarning(std::string(info.name) + " is too long; conversions ignore it");
    return kExitOk;
}

int StoreValue(const SettingsValueInfo& info, const std::string& text)
{
    std::uint32_t dword = 0;
    if (info.type == SettingsValueType::String) {
        if (text.size() >= kBookmarksBufferSize)
            return UsageError(std::string(info.name) + " holds at most " + std::to_string(kBookmarksBufferSize - 1) +
                              " bytes");
    } else {
        long long number = 0;
        const bool placement = IsPlacement(info.name);
        const long long min = placement ? std::numeric_limits<std::int32_t>::min() : IsBlockSize(info.name) ? 1 : 0;
        const long long max = placement                ? std::numeric_limits<std::int32_t>::max()
                              : IsBlockSize(info.name) ? 31
                                                       : std::numeric_limits<std::uint32_t>::max();
        if (!ParseDecimal(text, min, max, number))
            return UsageError(std::string(info.name) + " takes a decimal number from " + std::to_string(min) + " to " +
                              std::to_string(max) + ", not '" + text + "'");
        dword = static_cast<std::uint32_t>(number);
    }
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    const long result = info.type == SettingsValueType::String ? SetStringValue(key, info.name, text.c_str())
                                                               : SetDwordValue(key, info.name, dword);
    if (result != SETTINGS_OK) {
        ReportError(std::string(info.name) + " could not be stored");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunDefaultsCommand(const ArgumentList& args)
{
    // Values are taken as they are: a pattern may well begin with '-'.
    if (args.empty())
        return ListValues();
    if (args.size() > 2)
        return UsageError("defaults takes at most a NAME and a VALUE");
    const SettingsValueInfo* info = FindSettingsValue(args[0]);
    if (!info)
        return UsageError("no stored default is named '" + args[0] + "'");
    if (args.size() == 1)
        return PrintValue(*info);
    return StoreValue(*info, args[1]);
}

}  // namespace folivo::cli
