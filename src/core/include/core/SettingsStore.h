// The per-user settings store: the named values under the program's one
// settings key, reached only through the four routines below.
//
// Every routine returns SETTINGS_OK (0) on success and SETTINGS_FAILED (4) on
// any failure; the cause is kept aside for LastSettingsProblem. There is no cache: each query reads
// the stored values afresh and each write re-reads them under a lock before
// replacing them, so two running programs share the store safely.
//
// On Windows the key is the registry key HKEY_CURRENT_USER\<subKey>. Elsewhere
// it is a section of a text file, SettingsFilePath(), whose format is described
// in SettingsFile.cpp.
#pragma once

#include <core/Error.h>
#include <framework/CString.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The key every part of the program passes to OpenSettingsKey.
inline constexpr char kSettingsKeyPath[] = "Software\\Kavvan Software\\Folivo Converter\\Defaults";

enum : long { SETTINGS_OK = 0, SETTINGS_FAILED = 4 };

// Value types, as QueryValue reports them (the registry's REG_SZ and REG_DWORD).
enum : unsigned long { SETTINGS_STRING = 1, SETTINGS_DWORD = 4 };

// Dispositions reported by OpenSettingsKey.
enum : unsigned long { SETTINGS_CREATED_NEW_KEY = 1, SETTINGS_OPENED_EXISTING_KEY = 2 };

// An open settings key. It closes itself when destroyed; a handle is meant to
// live for one handler only.
class SettingsKey {
public:
    bool IsOpen() const { return m_state != nullptr; }
    void Close() { m_state.reset(); }

    struct State;  // defined by the platform's backend

private:
    // Also defined by the backend, so that the key can be moved and
    // destroyed where State is not known.
    struct StateDeleter {
        void operator()(State* state) const;
    };
    std::unique_ptr<State, StateDeleter> m_state;

    friend long OpenSettingsKey(SettingsKey&, unsigned long&, const char*);
    friend long SetDwordValue(SettingsKey&, const char*, std::uint32_t);
    friend long SetStringValue(SettingsKey&, const char*, const char*);
    friend long QueryValue(SettingsKey&, const char*, void*, unsigned long, unsigned long*, unsigned long*);
    friend long DeleteSettingsValue(SettingsKey&, const char*);
};

// Creates or opens `subKey` (every caller passes kSettingsKeyPath) and reports
// whether it was created. Fails when the store's folder cannot be created or
// written to.
long OpenSettingsKey(SettingsKey& key, unsigned long& disposition, const char* subKey);

// Stores a 32-bit value; a signed value is stored as its two's complement.
long SetDwordValue(SettingsKey& key, const char* name, std::uint32_t value);

// Stores a string up to its terminating zero, which is stored with it.
long SetStringValue(SettingsKey& key, const char* name, const char* value);

// Copies the raw bytes of a value, whatever its type, into `buffer`: a DWORD
// as 4 little-endian bytes, a string with its terminating zero. Fails when the
// value is missing, unreadable or longer than `size`; the registry may then
// have written to the buffer, so readers read into a copy (SettingsValues.h).
// `written`, when given, receives the number of bytes copied, and `type`
// SETTINGS_STRING or SETTINGS_DWORD. With a null `buffer` nothing is copied
// and only the size and the type are reported, as the registry does.
long QueryValue(SettingsKey& key, const char* name, void* buffer, unsigned long size, unsigned long* written = nullptr,
                unsigned long* type = nullptr);

// Removes a stored value, so that its readers' defaults apply again. Removing
// a value that is not stored succeeds.
long DeleteSettingsValue(SettingsKey& key, const char* name);

namespace folivo {

// Why the routine above that last failed on this thread failed, for people:
// the settings file that cannot be read or replaced and the system's reason
// (no space left, a folder missing), a value that is not stored. Success
// until one has failed; a later success leaves it as it is, so it is asked
// right after a failure.
Error LastSettingsProblem();
// Why stored values cannot be read (every read then gives its default):
// success when they can, or when nothing was ever stored. Asked before
// reading, to tell the user that the built-in defaults are used.
Error SettingsReadProblem();
// What the settings file holds that no reader sees, one notice for people
// each: values outside the program's section (a header missing or
// misspelt) and lines that cannot be read. Empty when there is none.
std::vector<std::string> SettingsFileNotices();

}  // namespace folivo

#ifndef _WIN32
// The file that holds the settings: $XDG_CONFIG_HOME (else ~/.config), then
// "Kavvan Software/Folivo Converter.conf". Empty when no home folder is known.
CString SettingsFilePath();
#endif
