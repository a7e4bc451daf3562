#include <core/ConversionSettings.h>

#include <documents/Document.h>
#include <platform/Descriptor.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace folivo {

namespace {

// Index just past the last separator, 0 when there is none.
std::size_t FileNameStart(const CString& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == CString::npos ? 0 : slash + 1;
}

// Where the extension of the file name at `start` begins: its last '.',
// unless only dots come before it (".notes" is a name, not an extension);
// npos when there is none.
std::size_t ExtensionStart(const CString& path, std::size_t start)
{
    const std::size_t dot = path.rfind('.');
    if (dot == CString::npos || dot < start || path.find_first_not_of('.', start) > dot)
        return CString::npos;
    return dot;
}

// The first bytes of the regular file open as `file`, enough to tell what
// kind of document it is, into `first`; -1 when it is no regular file.
ssize_t ReadFirstBytes(const platform::Descriptor& file, char (&first)[80])
{
    struct stat st;
    return file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)
               ? -1
               : ::pread(file.Get(), first, sizeof first, 0);
}

// Opens `path` for ReadFirstBytes: a pipe or a device is never waited for.
platform::Descriptor OpenToLook(const CString& path)
{
    return platform::Descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

}  // namespace

CString TitleOf(const CString& fileName)
{
    return fileName.substr(0, ExtensionStart(fileName, 0));
}

bool IsDatabaseDocument(const CString& path)
{
    char first[80];
    const ssize_t got = ReadFirstBytes(OpenToLook(path), first);
    return documents::IsDatabase(platform::FileNameOf(path),
                                 std::string_view(first, got < 0 ? 0 : static_cast<std::size_t>(got)));
}

CString DocumentTitle(const CString& path)
{
    const CString fileName = platform::FileNameOf(path);
    const platform::Descriptor file = OpenToLook(path);
    char first[80];
    const ssize_t got = ReadFirstBytes(file, first);
    if (got < 0)
        return TitleOf(fileName);
    // Only a book that may name itself is read whole, and no larger one than
    // a database could hold the text of.
    constexpr std::uint64_t kMostBookBytes = 1u << 30;
    CString bytes;
    if (documents::MayHaveOwnTitle(fileName, std::string_view(first, static_cast<std::size_t>(got))) &&
        !platform::ReadWholeFile(file.Get(), bytes, kMostBookBytes)) {
        if (std::string own = documents::OwnTitle(fileName, bytes); !own.empty())
            return own;
    }
    return TitleOf(fileName);
}

CString OutputPathOf(const CString& path)
{
    const std::size_t extension = ExtensionStart(path, FileNameStart(path));
    CString stem = path.substr(0, extension);
    // A database converted again never takes its own place unasked.
    if (extension != CString::npos && path.size() - extension == 4 &&
        std::equal(path.begin() + static_cast<std::ptrdiff_t>(extension), path.end(), ".pdb",
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
        stem += "-converted";
    return stem + ".pdb";
}

ConversionSettings SettingsForSource(const CString& sourcePath)
{
    ConversionSettings settings;
    settings.sourcePath = sourcePath;
    settings.sourceFileName = platform::FileNameOf(sourcePath);
    settings.title = DocumentTitle(sourcePath);
    settings.outputPath = OutputPathOf(sourcePath);
    return settings;
}

}  // namespace folivo
