// The settings store on Windows: the registry key itself.
#ifdef _WIN32

#include <core/SettingsStore.h>

#include <cstring>
#include <string>
#include <windows.h>

namespace {

thread_local folivo::Error lastProblem;

// Records the registry's reason for a failed call.
long Failed(LSTATUS status)
{
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(status), 0, text, sizeof text, nullptr);
    std::string why(text, n);
    while (!why.empty() && (why.back() == '\r' || why.back() == '\n' || why.back() == '.'))
        why.pop_back();
    lastProblem =
        folivo::Error::Failure("the registry refused it: " + (why.empty() ? "error " + std::to_string(status) : why));
    return SETTINGS_FAILED;
}

long NotOpen()
{
    lastProblem = folivo::Error::Failure("the settings key is not open");
    return SETTINGS_FAILED;
}

}  // namespace

struct SettingsKey::State {
    HKEY key = nullptr;
    ~State()
    {
        if (key)
            RegCloseKey(key);
    }
};

void SettingsKey::StateDeleter::operator()(State* state) const
{
    delete state;
}

long OpenSettingsKey(SettingsKey& key, unsigned long& disposition, const char* subKey)
{
    key.Close();
    HKEY handle = nullptr;
    DWORD created = 0;
    if (const LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                               KEY_ALL_ACCESS, nullptr, &handle, &created);
        status != ERROR_SUCCESS)
        return Failed(status);
    key.m_state.reset(new SettingsKey::State);
    key.m_state->key = handle;
    disposition = created == REG_CREATED_NEW_KEY ? SETTINGS_CREATED_NEW_KEY : SETTINGS_OPENED_EXISTING_KEY;
    return SETTINGS_OK;
}

long SetDwordValue(SettingsKey& key, const char* name, std::uint32_t value)
{
    DWORD data = value;
    if (!key.m_state)
        return NotOpen();
    const LSTATUS status =
        RegSetValueExA(key.m_state->key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    return status == ERROR_SUCCESS ? SETTINGS_OK : Failed(status);
}

long SetStringValue(SettingsKey& key, const char* name, const char* value)
{
    if (!key.m_state)
        return NotOpen();
    if (!value)
        return Failed(ERROR_INVALID_PARAMETER);
    const LSTATUS status = RegSetValueExA(key.m_state->key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                          static_cast<DWORD>(std::strlen(value) + 1));
    return status == ERROR_SUCCESS ? SETTINGS_OK : Failed(status);
}

long QueryValue(SettingsKey& key, const char* name, void* buffer, unsigned long size, unsigned long* written,
                unsigned long* type)
{
    DWORD length = size;
    DWORD stored = REG_NONE;
    if (!key.m_state)
        return NotOpen();
    const LSTATUS status =
        RegQueryValueExA(key.m_state->key, name, nullptr, &stored, static_cast<BYTE*>(buffer), &length);
    if (status != ERROR_SUCCESS)
        return Failed(status);
    if (written)
        *written = length;
    // Only the two types the program writes are told apart; any other is neither.
    if (type)
        *type = stored == REG_SZ || stored == REG_DWORD ? stored : REG_NONE;
    return SETTINGS_OK;
}

long DeleteSettingsValue(SettingsKey& key, const char* name)
{
    if (!key.m_state)
        return NotOpen();
    const LSTATUS status = RegDeleteValueA(key.m_state->key, name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? SETTINGS_OK : Failed(status);
}

namespace folivo {

Error LastSettingsProblem()
{
    return lastProblem;
}

// The registry tells its causes only when a call fails, and holds no lines
// that no reader sees.
Error SettingsReadProblem()
{
    return {};
}

std::vector<std::string> SettingsFileNotices()
{
    return {};
}

}  // namespace folivo

#endif  // _WIN32
