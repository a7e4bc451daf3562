// folivo defaults [NAME [VALUE]] and folivo defaults --unset NAME: the stored
// defaults, listed, read, set or removed.
#include "Arguments.h"
#include "Commands.h"
#include "Usage.h"

#include <core/ConversionJob.h>
#include <core/SettingsGroups.h>
#include <core/SettingsValues.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

namespace folivo::cli {

namespace {

// Large enough to show a pattern text the program itself would ignore as too long.
constexpr unsigned long kDisplayBufferSize = 1u << 20;

// What went wrong with the store just now, as the end of a message.
std::string Because()
{
    const Error problem = LastSettingsProblem();
    return problem ? ": " + problem.Message() : std::string();
}

bool OpenStore(SettingsKey& key)
{
    unsigned long disposition = 0;
    if (OpenSettingsKey(key, disposition, kSettingsKeyPath) == SETTINGS_OK)
        return true;
    ReportError("the settings store cannot be opened" + Because());
    return false;
}

// Values of the settings file that no reader sees are pointed out wherever
// the stored values are shown, as they would otherwise seem unset.
void WarnOfUnseenLines()
{
    for (const std::string& notice : SettingsFileNotices())
        ReportWarning(notice);
}

// The stored value as text, or false when it is not stored.
bool ReadAsText(SettingsKey& key, const SettingsValueInfo& info, std::string& text)
{
    if (info.type == SettingsValueType::String)
        return ReadString(key, info.name, text, kDisplayBufferSize);
    std::uint32_t value = 0;
    if (!ReadDword(key, info.name, value))
        return false;
    text = info.kind == SettingsValueKind::Placement ? std::to_string(static_cast<std::int32_t>(value))
                                                     : std::to_string(value);
    return true;
}

const char* TypeName(const SettingsValueInfo& info)
{
    return info.type == SettingsValueType::String ? "SZ" : "DWORD";
}

// A value in the listing: text between quotes, with every byte readable.
std::string Listed(const SettingsValueInfo& info, const std::string& text)
{
    return info.type == SettingsValueType::String ? '"' + Printable(text, true) + '"' : text;
}

// Why a value stored with the other type is not read, for people.
std::string WrongType(const SettingsValueInfo& info)
{
    const char* other = info.type == SettingsValueType::String ? "DWORD" : "SZ";
    return std::string(info.name) + " is stored as " + other + ", not " + TypeName(info) +
           ", so it is unreadable and " + (info.builtIn ? "its default applies" : "the window keeps its own place");
}

int ListValues()
{
    if (Error problem = SettingsReadProblem()) {
        ReportError("the stored defaults cannot be read: " + problem.Message());
        return kExitFailed;
    }
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    WarnOfUnseenLines();
    std::printf("%-19s %-5s %-8s %-12s %s\n", "Name", "Type", "Default", "Stored", "Meaning");
    std::vector<const SettingsValueInfo*> unreadable;
    for (const SettingsValueInfo& info : AllSettingsValues()) {
        std::string text;
        std::string stored = "-";
        if (ReadAsText(key, info, text)) {
            stored = Listed(info, text);
        } else if (StoredWithOtherType(key, info.name, info.type)) {
            stored = "unreadable";
            unreadable.push_back(&info);
        }
        const std::string builtIn = info.builtIn ? Listed(info, info.builtIn) : "none";
        std::printf("%-19s %-5s %-8s %-12s %s\n", info.name, TypeName(info), builtIn.c_str(), stored.c_str(),
                    info.meaning);
    }
    std::fflush(stdout);
    for (const SettingsValueInfo* info : unreadable)
        ReportWarning(WrongType(*info));
    return kExitOk;
}

int PrintValue(const SettingsValueInfo& info)
{
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    WarnOfUnseenLines();
    std::string text;
    if (!ReadAsText(key, info, text)) {
        const Error problem = SettingsReadProblem();
        if (problem)
            ReportError(std::string(info.name) + " cannot be read: " + problem.Message());
        else if (StoredWithOtherType(key, info.name, info.type))
            ReportError(WrongType(info));
        else
            ReportError(std::string(info.name) + " is not set");
        return kExitFailed;
    }
    std::printf("%s\n", Printable(text).c_str());
    if (info.type == SettingsValueType::String && text.size() >= kBookmarksBufferSize)
        ReportWarning(std::string(info.name) + " is too long; conversions ignore it");
    return kExitOk;
}

// The numbers that mean something for a DWORD of this kind.
struct NumberRange {
    long long min;
    long long max;
    long long step;  // ShExt: 0 or 8
};

NumberRange RangeOf(SettingsValueKind kind)
{
    switch (kind) {
    case SettingsValueKind::OnOff: return {0, 1, 1};
    case SettingsValueKind::BlockSize: return {kFewestBlockKB, kMostBlockKB, 1};
    case SettingsValueKind::ShellIntegration: return {0, 8, 8};
    case SettingsValueKind::Placement:
        return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 1};
    case SettingsValueKind::Pattern: break;
    }
    return {0, std::numeric_limits<std::uint32_t>::max(), 1};
}

std::string RangeText(const NumberRange& range)
{
    const std::string min = std::to_string(range.min);
    const std::string max = std::to_string(range.max);
    return range.max - range.min == range.step ? min + " or " + max : "a decimal number from " + min + " to " + max;
}

// Changes the store with change(key), a store routine's result; a failure
// says why.
template <class Change>
int StoreChange(const SettingsValueInfo& info, const char* done, Change change)
{
    SettingsKey key;
    if (!OpenStore(key))
        return kExitFailed;
    if (change(key) != SETTINGS_OK) {
        ReportError(std::string(info.name) + " could not be " + done + Because());
        return kExitFailed;
    }
    return kExitOk;
}

int StoreValue(const SettingsValueInfo& info, const std::string& text)
{
    if (info.type == SettingsValueType::String) {
        if (text.size() >= kBookmarksBufferSize)
            return UsageError(std::string(info.name) + " holds at most " + std::to_string(kBookmarksBufferSize - 1) +
                              " bytes");
        // Stored, a pattern the engine refuses would stop every later conversion.
        if (const CString problem = BookmarkPatternProblem(text, StoredTextPageState().charset == 1); !problem.empty())
            return UsageError("invalid bookmark pattern '" + Printable(text) + "': " + problem);
        return StoreChange(info, "stored",
                           [&](SettingsKey& key) { return SetStringValue(key, info.name, text.c_str()); });
    }
    const NumberRange range = RangeOf(info.kind);
    long long number = 0;
    if (!ParseDecimal(text, range.min, range.max, number) || (number - range.min) % range.step != 0)
        return UsageError(std::string(info.name) + " takes " + RangeText(range) + ", not '" + text + "'");
    const auto dword = static_cast<std::uint32_t>(number);
    return StoreChange(info, "stored", [&](SettingsKey& key) { return SetDwordValue(key, info.name, dword); });
}

}  // namespace

int RunDefaultsCommand(const ArgumentList& args)
{
    // Values are taken as they are: a pattern may well begin with '-'.
    if (args.empty())
        return ListValues();
    const bool unset = args[0] == "--unset";
    const std::size_t named = unset ? 1 : 0;
    if (args.size() <= named)
        return UsageError("--unset needs a NAME");
    if (args.size() > named + (unset ? 1 : 2))
        return UsageError(unset ? "--unset takes one NAME" : "defaults takes at most a NAME and a VALUE");
    const SettingsValueInfo* info = FindSettingsValue(args[named]);
    if (!info)
        return UsageError("no stored default is named '" + args[named] + "'");
    if (unset)
        return StoreChange(*info, "removed", [&](SettingsKey& key) { return DeleteSettingsValue(key, info->name); });
    if (args.size() == 1)
        return PrintValue(*info);
    return StoreValue(*info, args[1]);
}

}  // namespace folivo::cli
