#include <core/CommandLineStart.h>

#include <core/SettingsGroups.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>

namespace folivo {

namespace {

// A number that fits no format reads as one that writes no database.
constexpr int kOutOfRangeFormat = -1000;

// The whole text as a decimal number with an optional sign; nothing when the
// text is anything else or the number does not fit.
std::optional<int> WholeNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// atoi's reading (leading blanks, a sign, the digits up to the first other
// character; nothing readable is 0) without its undefined overflow.
int AtoiFormat(const std::string& text)
{
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return kOutOfRangeFormat;
    return static_cast<int>(value);
}

}  // namespace

ProgramCommandLine ParseProgramCommandLine(std::string_view commandLine)
{
    ProgramCommandLine parsed;
    const std::size_t close = commandLine.size() > 1 ? commandLine.find('"', 1) : std::string_view::npos;
    if (close == std::string_view::npos)
        return parsed;
    parsed.path = CString(commandLine.substr(1, close - 1));
    if (close + 2 < commandLine.size())
        parsed.format = AtoiFormat(std::string(commandLine.substr(close + 2)));
    return parsed;
}

ProgramStart ParseProgramArguments(const std::vector<std::string>& arguments)
{
    ProgramStart start;
    if (arguments.size() == 1 && arguments[0].starts_with('"')) {
        start.mode = ProgramStart::Mode::Document;
        start.document = ParseProgramCommandLine(arguments[0]);
        return start;
    }
    if (arguments.size() == 2) {
        if (const std::optional<int> format = WholeNumber(arguments[1])) {
            start.mode = ProgramStart::Mode::Document;
            start.document = {arguments[0], *format};
            return start;
        }
    }
    start.listed.assign(arguments.begin(), arguments.end());
    return start;
}

int ConvertDirectly(ConversionJob& job, const CString& sourcePath, DocumentFormat format)
{
    ConversionSettings settings = SettingsForSource(sourcePath);
    settings.format = format;
    ReadDirectRunDefaults(settings);

    job.sourcePath = settings.sourcePath;
    job.sourceFileName = settings.sourceFileName;
    job.title = settings.title;
    // A direct run shows no pages, so every option is a stored default.
    job.SetPages(nullptr);
    const int result = job.RunConversion(settings.sourcePath, settings.outputPath, settings.title, settings.format,
                                         settings.blockSizeKB, settings.compress ? 1 : 0);
    job.DeleteTextFile();
    return result;
}

}  // namespace folivo
