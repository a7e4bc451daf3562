#include <core/ConversionSettings.h>
#include <platform/Paths.h>

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

CString OutputPathOf(const CString& path)
{
    return path.substr(0, ExtensionStart(path, FileNameStart(path))) + ".pdb";
}

ConversionSettings SettingsForSource(const CString& sourcePath)
{
    ConversionSettings settings;
    settings.sourcePath = sourcePath;
    settings.sourceFileName = platform::FileNameOf(sourcePath);
    settings.title = TitleOf(settings.sourceFileName);
    settings.outputPath = OutputPathOf(sourcePath);
    return settings;
}

}  // namespace folivo
