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

#include "LineList.h"
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

using folivo::LineList;
using folivo::SettingsDocument;
using folivo::StoredValue;

constexpr char kMakerFolder[] = "Kavvan Software";
constexpr char kFileName[] = "Folivo Converter.conf";
constexpr char kTempPrefix[] = "Folivo Converter.conf.new-";
// Larger files are not settings files: they read as empty and are not replaced.
constexpr std::size_t kMaxFileSize = 4u << 20;

// Why the routine that failed last on this thread failed.
thread_local folivo::Error lastProblem;

long Failed(std::string why)
{
    lastProblem = folivo::Error::Failure(std::move(why));
    return SETTINGS_FAILED;
}

long FailedOn(const CString& path, int code)
{
    return Failed(platform::FileError::System(path, code).Message());
}

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
long MakeFolders(const CString& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        CString part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return FailedOn(part, errno);
        if (slash == CString::npos)
            break;
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0)
        return FailedOn(folder, errno);
    return S_ISDIR(st.st_mode) ? SETTINGS_OK : FailedOn(folder, ENOTDIR);
}

// A folder that is there, or can be made when a value is first stored.
long CheckFolder(const CString& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? SETTINGS_OK
                                   : Failed(folder + ": not a folder, so it cannot hold the settings file");
    return errno == ENOENT ? SETTINGS_OK : FailedOn(folder, errno);
}

enum class ReadResult { ok, missing, failed };

// Why the settings file cannot be read, for people.
std::string ReadFailure(const CString& path, const platform::FileError& error)
{
    if (error.code == EFBIG)
        return path + ": larger than " + std::to_string(kMaxFileSize >> 20) + " MB, so not a settings file";
    return error.Message();
}

ReadResult ReadSettingsFile(const CString& path, CString& text, std::string* why = nullptr)
{
    const platform::FileError error = platform::ReadWholeFile(path, text, kMaxFileSize);
    if (!error)
        return ReadResult::ok;
    if (error.code == ENOENT)
        return ReadResult::missing;
    if (why)
        *why = ReadFailure(path, error);
    return ReadResult::failed;
}

// Why `file` could not be replaced. The new copy's name would only puzzle:
// the settings file is named instead. A link that leads nowhere (into a
// missing folder, say) is named with where it leads, as its own name says
// nothing of that.
std::string ReplaceFailure(const CString& file, const platform::FileError& error)
{
    const std::size_t slash = error.path.rfind('/');
    if (platform::IsTemporaryName(std::string_view(error.path).substr(slash + 1), kTempPrefix))
        return file + ": " + error.Reason() + ", so it was left as it was";
    struct stat link;
    char target[4096];
    if (error.code != ENOENT || lstat(file.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return error.Message();
    const ssize_t n = readlink(file.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target)
        return error.Message();
    return file + ": a symbolic link to " + CString(target, static_cast<std::size_t>(n)) + ": " + error.Reason();
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
    if (!subKey || !*subKey || HasControlByte(subKey))
        return Failed("no settings key is named so");
    if (folder.empty())
        return Failed("no home folder is known to hold the settings file");
    if (CheckFolder(folder) != SETTINGS_OK)
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

CString LockPath(const SettingsKey::State& state)
{
    return state.file + ".lock";
}

// Only a writer makes the folder and the lock file: reading leaves no trace.
long OpenLock(SettingsKey::State& state)
{
    if (state.lock.IsOpen())
        return SETTINGS_OK;
    if (MakeFolders(state.folder) != SETTINGS_OK)
        return SETTINGS_FAILED;
    state.lock.Reset(open(LockPath(state).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    return state.lock.IsOpen() ? SETTINGS_OK : FailedOn(LockPath(state), errno);
}

long NotOpen()
{
    return Failed("the settings key is not open");
}

// Changes the document under the lock and replaces the file with it.
template <class Change>
long ChangeDocument(SettingsKey::State* state, const char* name, Change change)
{
    if (!state)
        return NotOpen();
    if (!name)
        return Failed("no value name given");
    if (OpenLock(*state) != SETTINGS_OK)
        return SETTINGS_FAILED;
    ExclusiveLock lock(state->lock.Get());
    if (!lock.Locked())
        return FailedOn(LockPath(*state), errno);
    RemoveLeftoverTempFiles(state->folder);
    CString text;
    std::string why;
    ReadResult read = ReadSettingsFile(state->file, text, &why);
    if (read == ReadResult::failed)
        return Failed(why);
    // A settings file its owner made read-only stays as it is.
    if (read == ReadResult::ok && access(state->file.c_str(), W_OK) != 0)
        return Failed(state->file + ": read-only, so left as it is");
    SettingsDocument doc = SettingsDocument::Parse(text);
    change(doc);
    // The file keeps its permission bits; a new one is its owner's alone.
    if (const platform::FileError error = platform::ReplaceFile(state->file, doc.Serialize(), 0600, kTempPrefix))
        return Failed(ReplaceFailure(state->file, error));
    return SETTINGS_OK;
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
        return Failed("no text given");
    return StoreValue(key.m_state.get(), name, StoredValue::String(value));
}

namespace folivo {

Error LastSettingsProblem()
{
    return lastProblem;
}

Error SettingsReadProblem()
{
    const CString file = SettingsFilePath();
    if (file.empty())
        return Error::Failure("no home folder is known to hold the settings file");
    CString text;
    std::string why;
    if (ReadSettingsFile(file, text, &why) == ReadResult::failed)
        return Error::Failure(why);
    return {};
}

std::vector<std::string> SettingsFileNotices()
{
    const CString file = SettingsFilePath();
    CString text;
    if (file.empty() || ReadSettingsFile(file, text) != ReadResult::ok)
        return {};
    const SettingsDocument::UnseenLines unseen = SettingsDocument::Parse(text).Unseen(kSettingsKeyPath);
    std::vector<std::string> notices;
    const auto one = [](const std::vector<std::size_t>& lines) { return lines.size() == 1; };
    if (!unseen.outside.empty())
        notices.push_back(file + ": the " + (one(unseen.outside) ? "value on " : "values on ") +
                          LineList(unseen.outside) + (one(unseen.outside) ? " is" : " are") + " outside the section [" +
                          kSettingsKeyPath + "], so " + (one(unseen.outside) ? "it is" : "they are") + " not read");
    if (!unseen.damaged.empty())
        notices.push_back(file + ": " + LineList(unseen.damaged) + " cannot be read, so " +
                          (one(unseen.damaged) ? "it is" : "they are") + " ignored");
    return notices;
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

long QueryValue(SettingsKey& key, const char* name, void* buffer, unsigned long size, unsigned long* written,
                unsigned long* type)
{
    const SettingsKey::State* state = key.m_state.get();
    if (!state)
        return NotOpen();
    if (!name)
        return Failed("no value name given");
    CString text;
    std::string why;
    switch (ReadSettingsFile(state->file, text, &why)) {
    case ReadResult::ok: break;
    case ReadResult::missing: return Failed(CString(name) + " is not stored: there is no settings file");
    case ReadResult::failed: return Failed(why);
    }
    auto value = SettingsDocument::Parse(text).Find(state->section, name);
    if (!value)
        return Failed(CString(name) + " is not stored");
    if (buffer && value->data.size() > size)
        return Failed(CString(name) + " holds " + std::to_string(value->data.size()) + " bytes, more than the " +
                      std::to_string(size) + " it is read with");
    if (buffer && !value->data.empty())
        std::memcpy(buffer, value->data.data(), value->data.size());
    if (written)
        *written = static_cast<unsigned long>(value->data.size());
    if (type)
        *type = value->type == folivo::SettingsType::String ? SETTINGS_STRING : SETTINGS_DWORD;
    return SETTINGS_OK;
}

#endif  // _WIN32
