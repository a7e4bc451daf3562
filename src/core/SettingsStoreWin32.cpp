// The settings store on Windows: the registry key itself.
#ifdef _WIN32

#include <core/SettingsStore.h>

#include <cstring>
#include <windows.h>

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
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &handle, &created) != ERROR_SUCCESS)
        return SETTINGS_FAILED;
    key.m_state.reset(new SettingsKey::State);
    key.m_state->key = handle;
    disposition = created == REG_CREATED_NEW_KEY ? SETTINGS_CREATED_NEW_KEY : SETTINGS_OPENED_EXISTING_KEY;
    return SETTINGS_OK;
}

long SetDwordValue(SettingsKey& key, const char* name, std::uint32_t value)
{
    DWORD data = value;
    if (!key.m_state || RegSetValueExA(key.m_state->key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                       sizeof data) != ERROR_SUCCESS)
        return SETTINGS_FAILED;
    return SETTINGS_OK;
}

long SetStringValue(SettingsKey& key, const char* name, const char* value)
{
    if (!key.m_state || !value ||
        RegSetValueExA(key.m_state->key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1)) != ERROR_SUCCESS)
        return SETTINGS_FAILED;
    return SETTINGS_OK;
}

long QueryValue(SettingsKey& key, const char* name, void* buffer, unsigned long size, unsigned long* written)
{
    DWORD length = size;
    if (!key.m_state || RegQueryValueExA(key.m_state->key, name, nullptr, nullptr, static_cast<BYTE*>(buffer),
                                         &length) != ERROR_SUCCESS)
        return SETTINGS_FAILED;
    if (written)
        *written = length;
    return SETTINGS_OK;
}

long DeleteSettingsValue(SettingsKey& key, const char* name)
{
    if (!key.m_state)
        return SETTINGS_FAILED;
    const LSTATUS status = RegDeleteValueA(key.m_state->key, name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? SETTINGS_OK : SETTINGS_FAILED;
}

namespace folivo {

// The registry passes its causes on to no one; its failures are rare enough
// that the routines' own results say all there is.
Error SettingsReadProblem()
{
    return {};
}

Error SettingsWriteProblem()
{
    return {};
}

}  // namespace folivo

#endif  // _WIN32
