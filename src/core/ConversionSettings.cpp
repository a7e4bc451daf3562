#include <core/ConversionSettings.h>
#include <documents/Document.h>
#include <platform/Descriptor.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

CString TitleOf(const CString& fileName)
{
    return fileName.substr(0, ExtensionStart(fileName, 0));
}

CString DocumentTitle(const CString& path)
{
    const CString fileName = platform::FileNameOf(path);
    // A pipe or a device is never read for a title: reading it may wait.
    const platform::Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    char first[64];
    const ssize_t got = file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)
                            ? -1
                            : ::pread(file.Get(), first, sizeof first, 0);
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
    return path.substr(0, ExtensionStart(path, FileNameStart(path))) + ".pdb";
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
