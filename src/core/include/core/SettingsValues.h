// The table of every value under the settings key, and the two ways values
// are read.
#pragma once

#include <core/SettingsStore.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace folivo {

enum class SettingsValueType { Dword, String };

// What a value holds, and so which values make sense for it.
enum class SettingsValueKind {
    OnOff,             // a check box or radio button: 1 checked, 0 not
    BlockSize,         // record size in KB, 1 to 31
    ShellIntegration,  // 8 on, 0 off (a menu item's check state)
    Placement,         // a window edge in screen pixels, signed
    Pattern,           // the bookmark pattern text
};

struct SettingsValueInfo {
    const char* name;
    SettingsValueType type;
    SettingsValueKind kind;
    const char* builtIn;  // what readers use while it is not stored; null: none (the window's own placement)
    const char* meaning;  // for people
};

// Value names compare without regard to ASCII case, as registry names do.
bool SameValueName(std::string_view a, std::string_view b);

// Every value the program reads or writes, in the order of the settings table.
std::span<const SettingsValueInfo> AllSettingsValues();
// The entry for `name` (ASCII case ignored, as value names are), or null.
const SettingsValueInfo* FindSettingsValue(std::string_view name);

// The size of the buffer the pattern text is read into, terminating zero
// included: a longer stored text reads as missing.
inline constexpr unsigned long kBookmarksBufferSize = 4192;

// Reads a DWORD the way every reader does: `value` holds the reader's default,
// and only a successful read changes it. A value stored with another type
// (a string, say, typed into the file by hand) reads as not stored.
bool ReadDword(SettingsKey& key, const char* name, std::uint32_t& value);
// Reads a string into a buffer of `bufferSize` bytes; `value` is set to the
// text before the first zero byte only when the read succeeds. A value of
// another type reads as not stored.
bool ReadString(SettingsKey& key, const char* name, CString& value, unsigned long bufferSize);
// Whether `name` is stored, but with a type other than `type`, so that its
// readers take it as not stored.
bool StoredWithOtherType(SettingsKey& key, const char* name, SettingsValueType type);

}  // namespace folivo
