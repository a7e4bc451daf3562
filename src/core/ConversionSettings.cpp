#include <core/ConversionSettings.h>

namespace {

// Index just past the last separator, 0 when there is none.
std::size_t FileNameStart(const CString& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == CString::npos ? 0 : slash + 1;
}

}  // namespace

CString FolderOf(const CString& path)
{
    std::size_t start = FileNameStart(path);
    return start == 0 ? CString() : path.substr(0, start - 1);
}

CString SourceFileNameOf(const CString& path)
{
    return path.substr(FileNameStart(path));
}

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
    settings.sourceFileName = SourceFileNameOf(sourcePath);
    settings.title = TitleOf(settings.sourceFileName);
    settings.outputPath = OutputPathOf(sourcePath);
    return settings;
}
