#include <core/CommandLineStart.h>

#include <core/SettingsGroups.h>

#include <cstdlib>
#include <string>

namespace folivo {

ProgramCommandLine ParseProgramCommandLine(std::string_view commandLine)
{
    ProgramCommandLine parsed;
    const std::size_t close = commandLine.size() > 1 ? commandLine.find('"', 1) : std::string_view::npos;
    if (close == std::string_view::npos)
        return parsed;
    parsed.path = CString(commandLine.substr(1, close - 1));
    if (close + 2 < commandLine.size())
        parsed.format = std::atoi(std::string(commandLine.substr(close + 2)).c_str());
    return parsed;
}

CommandLineAction StartFromCommandLine(std::string_view commandLine, ConversionJob& job)
{
    const ProgramCommandLine parsed = ParseProgramCommandLine(commandLine);
    ConversionSettings settings = SettingsForSource(parsed.path);
    settings.format = static_cast<DocumentFormat>(parsed.format);
    ReadDirectRunDefaults(settings);

    job.sourcePath = settings.sourcePath;
    job.sourceFileName = settings.sourceFileName;
    job.title = settings.title;
    // The context menu never shows the pages, so every option is a stored default.
    job.SetPages(nullptr);
    if (settings.format == DocumentFormat::ShowWizard)
        return CommandLineAction::ShowWizard;

    job.RunConversion(settings.sourcePath, settings.outputPath, settings.title, settings.format, settings.blockSizeKB,
                      settings.compress ? 1 : 0);
    job.DeleteTextFile();
    return CommandLineAction::Converted;
}

}  // namespace folivo
