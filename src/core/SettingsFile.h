// The text form of the settings store outside Windows (format in SettingsFile.cpp).
#pragma once

#include <framework/CString.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace folivo {

enum class SettingsType { String = 1, Dword = 4 };

// One value: its type and raw bytes (a DWORD as 4 little-endian bytes, a
// string with its terminating zero).
struct StoredValue {
    SettingsType type = SettingsType::Dword;
    CString data;

    static StoredValue Dword(std::uint32_t value);
    // `text` is stored with a terminating zero added.
    static StoredValue String(std::string_view text);
};

// A settings file held as its lines. Lines that are not understood (comments,
// damaged lines) are kept as they are and written back unchanged.
class SettingsDocument {
public:
    // A UTF-8 byte-order mark before the first line is skipped (and kept).
    static SettingsDocument Parse(std::string_view text);

    // Sections compare as key names do, without regard to ASCII case.
    // The last readable value `name` (ASCII case ignored) of `section`.
    std::optional<StoredValue> Find(std::string_view section, std::string_view name) const;
    bool HasSection(std::string_view section) const;
    // Replaces every line of `name` in `section` by one line holding `value`.
    void Set(std::string_view section, std::string_view name, const StoredValue& value);
    // Drops every line of `name` in `section`.
    void Remove(std::string_view section, std::string_view name);
    CString Serialize() const;

    // Numbers (from 1) of the lines no reader of `section` sees: readable
    // values outside it, and lines that are neither blank, comment, header
    // nor a readable value.
    struct UnseenLines {
        std::vector<std::size_t> outside;
        std::vector<std::size_t> damaged;
    };
    UnseenLines Unseen(std::string_view section) const;

private:
    struct Line {
        CString raw;
        CString section;  // the section the line belongs to
        bool isHeader = false;
        bool isValue = false;  // a readable value line
        bool isDamaged = false;
        CString name;
        StoredValue value;
    };
    std::vector<Line> m_lines;
};

}  // namespace folivo
