// The settings store outside Windows: one text file per user.
//
// Readers read the whole file afresh for every query; a file is only ever
// replaced whole (rename), so a reader sees either the old or the new file.
// Writers serialize on an advisory lock held on a separate lock file, re-read
// the file under the lock, change their one value and replace the file with a
// complete, flushed copy, so concurrent writers lose nothing and a writer
// killed at any moment leaves the previous file intact.
#ifndef _WIN32

#include <core/SettingsStore.h>
#include <platform/Descriptor.h>
#include <platform/Files.h>

#include "SettingsFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using folivo::SettingsDocument;
using folivo::StoredValue;

constexpr char kMakerFolder[] = "Kavvan Software";
constexpr char kFileName[] = "Folivo Converter.conf";
constexpr char kTempPrefix[] = "Folivo Converter.conf.new-";
// Larger files are not settings files: they read as empty and are not replaced.
constexpr std::size_t kMaxFileSize = 4u << 20;

CString ConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return CString(home) + "/.config";
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir[0] == '/')
        return CString(found->pw_dir) + "/.config";
    return CString();
}

CString SettingsFolder()
{
    CString home = ConfigHome();
    return home.empty() ? home : home + "/" + kMakerFolder;
}

// Creates `folder` and any missing parent, each readable by its owner only.
bool MakeFolders(const CString& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        CString part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == CString::npos)
            break;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder that is there, or can be made when a value is first stored.
bool UsableFolder(const CString& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return errno == ENOENT;
}

enum class ReadResult { ok, missing, failed };

ReadResult ReadSettingsFile(const CString& path, CString& text)
{
    const platform::FileError error = platform::ReadWholeFile(path, text, kMaxFileSize);
    if (!error)
        return ReadResult::ok;
    return error.code == ENOENT ? ReadResult::missing : ReadResult::failed;
}

// Temporary files exist only while their writer holds the lock; one found by
// the lock's holder was left by a writer that died.
void RemoveLeftoverTempFiles(const CString& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, kTempPrefix, sizeof kTempPrefix - 1) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

class ExclusiveLock {
public:
    explicit ExclusiveLock(int fd) : m_fd(fd)
    {
        for (;;) {
            m_locked = flock(m_fd, LOCK_EX) == 0;
            if (m_locked || errno != EINTR)
                break;
        }
    }
    ~ExclusiveLock()
    {
        if (m_locked)
            flock(m_fd, LOCK_UN);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    bool Locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

bool HasControlByte(const char* text)
{
    for (; *text; ++text) {
        if (static_cast<unsigned char>(*text) < 0x20)
            return true;
    }
    return false;
}

}  // namespace

struct SettingsKey::State {
    CString folder;
    CString file;
    CString section;
    platform::Descriptor lock;
};

void SettingsKey::StateDeleter::operator()(State* state) const
{
    delete state;
}

CString SettingsFilePath()
{
    CString folder = SettingsFolder();
    return folder.empty() ? folder : folder + "/" + kFileName;
}

long OpenSettingsKey(SettingsKey& key, unsigned long& disposition, const char* subKey)
{
    key.Close();
    CString folder = SettingsFolder();
    if (!subKey || !*subKey || HasControlByte(subKey) || folder.empty() || !UsableFolder(folder))
        return SETTINGS_FAILED;
    auto state = std::make_unique<SettingsKey::State>();
    state->folder = folder;
    state->file = folder + "/" + kFileName;
    state->section = subKey;
    CString text;
    ReadResult read = ReadSettingsFile(state->file, text);
    disposition = read == ReadResult::ok && SettingsDocument::Parse(text).HasSection(state->section)
                      ? SETTINGS_OPENED_EXISTING_KEY
                      : SETTINGS_CREATED_NEW_KEY;
    key.m_state.reset(state.release());
    return SETTINGS_OK;
}

namespace {

// Only a writer makes the folder and the lock file: reading leaves no trace.
bool OpenLock(SettingsKey::State& state)
{
    if (state.lock.IsOpen())
        return true;
    if (!MakeFolders(state.folder))
        return false;
    const CString lockPath = state.file + ".lock";
    state.lock.Reset(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    return state.lock.IsOpen();
}

// Changes the document under the lock and replaces the file with it.
template <class Change>
long ChangeDocument(SettingsKey::State* state, const char* name, Change change)
{
    if (!state || !name || !OpenLock(*state))
        return SETTINGS_FAILED;
    ExclusiveLock lock(state->lock.Get());
    if (!lock.Locked())
        return SETTINGS_FAILED;
    RemoveLeftoverTempFiles(state->folder);
    CString text;
    ReadResult read = ReadSettingsFile(state->file, text);
    // A settings file its owner made read-only stays as it is.
    if (read == ReadResult::failed || (read == ReadResult::ok && access(state->file.c_str(), W_OK) != 0))
        return SETTINGS_FAILED;
    SettingsDocument doc = SettingsDocument::Parse(text);
    change(doc);
    // The file keeps its permission bits; a new one is its owner's alone.
    return platform::ReplaceFile(state->file, doc.Serialize(), 0600, kTempPrefix) ? SETTINGS_FAILED : SETTINGS_OK;
}

long StoreValue(SettingsKey::State* state, const char* name, const StoredValue& value)
{
    return ChangeDocument(state, name,
                          [state, name, &value](SettingsDocument& doc) { doc.Set(state->section, name, value); });
}

}  // namespace

long SetDwordValue(SettingsKey& key, const char* name, std::uint32_t value)
{
    return StoreValue(key.m_state.get(), name, StoredValue::Dword(value));
}

long SetStringValue(SettingsKey& key, const char* name, const char* value)
{
    if (!value)
        return SETTINGS_FAILED;
    return StoreValue(key.m_state.get(), name, StoredValue::String(value));
}

namespace folivo {

Error SettingsReadProblem()
{
    const CString file = SettingsFilePath();
    if (file.empty())
        return Error::Failure("no home folder is known to hold the settings file");
    CString text;
    const platform::FileError error = platform::ReadWholeFile(file, text, kMaxFileSize);
    if (!error || error.code == ENOENT)
        return {};
    if (error.code == EFBIG)
        return Error::Failure(file + ": larger than " + std::to_string(kMaxFileSize >> 20) +
                              " MB, so not a settings file");
    return Error::Failure(error.Message());
}

Error SettingsWriteProblem()
{
    if (Error error = SettingsReadProblem())
        return error;
    const CString folder = SettingsFolder();
    const CString file = SettingsFilePath();
    if (!UsableFolder(folder))
        return Error::Failure(folder + ": not a folder that can hold the settings file");
    if (access(file.c_str(), F_OK) == 0 && access(file.c_str(), W_OK) != 0)
        return Error::Failure(file + ": read-only, so left as it is");
    if (access(folder.c_str(), F_OK) == 0 && access(folder.c_str(), W_OK) != 0)
        return Error::Failure(folder + ": the folder is read-only");
    return {};
}

}  // namespace folivo

long DeleteSettingsValue(SettingsKey& key, const char* name)
{
    SettingsKey::State* state = key.m_state.get();
    // Removing what is not stored writes nothing: no file, folder or lock is made for it.
    CString text;
    if (state && name && ReadSettingsFile(state->file, text) != ReadResult::failed &&
        !SettingsDocument::Parse(text).Find(state->section, name))
        return SETTINGS_OK;
    return ChangeDocument(state, name, [state, name](SettingsDocument& doc) { doc.Remove(state->section, name); });
}

long QueryValue(SettingsKey& key, const char* name, void* buffer, unsigned long size, unsigned long* written)
{
    const SettingsKey::State* state = key.m_state.get();
    CString text;
    if (!state || !name || ReadSettingsFile(state->file, text) != ReadResult::ok)
        return SETTINGS_FAILED;
    auto value = SettingsDocument::Parse(text).Find(state->section, name);
    if (!value || value->data.size() > size || (!buffer && !value->data.empty()))
        return SETTINGS_FAILED;
    if (!value->data.empty())
        std::memcpy(buffer, value->data.data(), value->data.size());
    if (written)
        *written = static_cast<unsigned long>(value->data.size());
    return SETTINGS_OK;
}

#endif  // _WIN32
