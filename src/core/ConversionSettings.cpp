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

}  // namespace

CString TitleOf(const CString& fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

CString OutputPathOf(const CString& path)
{
    std::size_t start = FileNameStart(path);
    std::size_t dot = path.rfind('.');
    std::size_t end = dot != CString::npos && dot >= start ? dot : path.size();
    return path.substr(0, end) + ".pdb";
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
