// folivo convert [OPTIONS] FILE...: each document becomes a database as in
// the desktop program's direct conversion, several at a time.
#include "CliPages.h"
#include "Commands.h"
#include "ConvertOptions.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "Usage.h"

#include <core/ConversionJob.h>
#include <core/ConversionNotes.h>
#include <core/SettingsGroups.h>
#include <core/SettingsStore.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace folivo::cli {

namespace {

struct FormatParameters {
    DocumentFormat format;
    std::int32_t blockSizeKB;
    std::int32_t compress;
    bool salvage = false;  // a damaged database gives what can be read of it
};

// The direct conversion's stored block size and compression, or the built-in
// ones, with the options over them. Fails when a stored block size that no
// option overrides is out of range.
Error ResolveFormat(const ConvertOptions& options, FormatParameters& format)
{
    ConversionSettings settings;
    settings.format = options.format;
    if (options.noDefaults) {
        settings.blockSizeKB = static_cast<std::int32_t>(InitialFormatPageState(options.format).blockSizeKB);
        settings.compress = true;
    } else {
        ReadDirectRunDefaults(settings);
    }
    if (options.blockSizeKB)
        settings.blockSizeKB = *options.blockSizeKB;
    else if (settings.blockSizeKB < static_cast<std::int32_t>(kFewestBlockKB) ||
             settings.blockSizeKB > static_cast<std::int32_t>(kMostBlockKB)) {
        const char* name = options.format == DocumentFormat::PalmDoc ? "PalmDocBlock" : "zTxtBlock";
        return Error::Failure("the stored default " + std::string(name) + "=" + std::to_string(settings.blockSizeKB) +
                              " is no record size of " + std::to_string(kFewestBlockKB) + " to " +
                              std::to_string(kMostBlockKB) +
                              " KB; give --block-size, or store another with 'folivo defaults " + name + " KB'");
    }
    if (options.noCompress)
        settings.compress = false;
    format = {settings.format, settings.blockSizeKB, settings.compress ? 1 : 0};
    return {};
}

// The pattern every file's scan will use, compiled once before any file is
// converted: a wrong one is the command line's fault, or the store's.
Error CheckPattern(const ConvertOptions& options, const PageAnswers& pages)
{
    const CString patternText = pages.BookmarkPatternText();
    const CString problem = BookmarkPatternProblem(patternText, pages.TextPage().charset == 1);
    if (problem.empty())
        return {};
    const std::string from = options.bookmarks ? "--bookmarks" : "the stored default Bookmarks";
    return Error::Failure("invalid bookmark pattern '" + patternText + "' (" + from + "): " + problem);
}

// Standard input, read into a temporary file that is then converted as any
// document is. At most maxSize bytes are taken.
Error ReadStandardInput(std::uint64_t maxSize, platform::TemporaryFile& file)
{
    std::string bytes;
    platform::FileError error = file.Error();
    if (!error)
        error = platform::ReadAll(STDIN_FILENO, bytes, maxSize);
    if (error.code == EFBIG)
        return Error::Failure("standard input: " + DocumentTooLarge(maxSize));
    if (!error)
        error = file.Close(bytes);
    if (error)
        return Error::Failure("standard input: " + error.Message());
    return {};
}

struct FileOutcome {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::string line;  // the database written; empty when there is none
    bool failed = false;
};

long long FileSize(const CString& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Copies a finished database to standard output; `sent` is its size.
Error SendToStandardOutput(const std::string& path, std::size_t& sent)
{
    std::string bytes;
    if (const platform::FileError error = platform::ReadWholeFile(path, bytes))
        return Error::Failure(error.Message());
    sent = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return {};
}

FileOutcome ConvertFile(const FilePlan& plan, const PageAnswers& shared, const FormatParameters& format,
                        ProgressSink* progress)
{
    FileOutcome outcome;
    const auto fail = [&outcome, &plan](const std::string& why) {
        outcome.errors.push_back(plan.name + ": " + why);
        outcome.failed = true;
    };
    if (plan.refusal) {
        fail(plan.refusal.Message());
        return outcome;
    }
    // Standard output gets a database only once it is complete: it is written
    // to a temporary file first, as any database is.
    const bool toStream = plan.output == kStandardStream;
    std::optional<platform::TemporaryFile> streamed;
    CString output = plan.output;
    if (toStream) {
        streamed.emplace(platform::TemporaryFolder(), "folivo-");
        if (const platform::FileError error = streamed->Close()) {
            fail("no temporary file for the database: " + error.Message());
            return outcome;
        }
        output = streamed->Path();
    }

    // A list of its own per file, so that files on other threads never meet.
    BookmarkList bookmarks;
    ConversionJob job(bookmarks);
    PageAnswers pages = shared;
    pages.output = output;
    pages.title = plan.title;
    job.sourcePath = plan.source;
    job.sourceFileName = platform::FileNameOf(plan.name);
    job.title = plan.title;
    job.proposedOutputPath = output;
    job.SetPages(&pages);
    job.SetProgress(progress);
    job.SetSalvage(format.salvage);
    job.SetSourceMayBeReplaced(plan.replacesSource);
    job.RunConversion(plan.source, output, plan.title, format.format, format.blockSizeKB, format.compress);

    const ConversionReport& report = job.LastReport();
    if (const Error problem = DatabaseProblem(report))
        fail(problem.Message() + (report.salvageable ? " (--salvage converts what can be read)" : ""));
    for (const ConversionNote& note : ConversionNotes(report)) {
        outcome.warnings.push_back(
            plan.name + ": " + note.text +
            (note.about == ConversionNote::About::Characters ? " (--keep-encoding keeps the bytes as they are)" : ""));
        outcome.failed = outcome.failed || note.partial;
    }

    if (report.databaseWritten) {
        if (toStream) {
            std::size_t sent = 0;
            if (Error error = SendToStandardOutput(output, sent)) {
                fail(error.Message());
                return outcome;
            }
            outcome.line = "standard output: " + std::to_string(sent);
        } else {
            outcome.line = Printable(plan.output) + ": " + std::to_string(FileSize(output));
        }
        const std::size_t stored = report.writer.storedBookmarks;
        outcome.line += " bytes, " + std::to_string(stored) + (stored == 1 ? " bookmark" : " bookmarks");
    }
    if (report.installRequested && !report.install.Ok())
        fail("not queued for '" + pages.InstallUserText() + "': " + palm::Message(report.install));
    return outcome;
}

// Prints each file's outcome in the order the files were given, as soon as it
// and every file before it are done. The database lines go to `lines`:
// standard error when standard output holds the database itself.
class OrderedReport {
public:
    OrderedReport(std::size_t files, ProgressBar& bar, std::FILE* lines)
        : m_bar(bar), m_lines(lines), m_outcomes(files), m_ready(files, false)
    {
    }

    void Done(std::size_t index, FileOutcome outcome)
    {
        std::lock_guard lock(m_mutex);
        m_failed = m_failed || outcome.failed;
        m_outcomes[index] = std::move(outcome);
        m_ready[index] = true;
        m_bar.SetFileFraction(index, 1.0);
        if (!m_ready[m_next])
            return;
        m_bar.Print([this] {
            for (; m_next < m_outcomes.size() && m_ready[m_next]; ++m_next) {
                FileOutcome& outcome = m_outcomes[m_next];
                for (const std::string& error : outcome.errors)
                    ReportError(error);
                for (const std::string& warning : outcome.warnings)
                    ReportWarning(warning);
                if (!outcome.line.empty())
                    std::fprintf(m_lines, "%s\n", outcome.line.c_str());
                std::fflush(stdout);
                outcome = FileOutcome{};
            }
        });
    }

    bool AnyFailed()
    {
        std::lock_guard lock(m_mutex);
        return m_failed;
    }

private:
    std::mutex m_mutex;
    ProgressBar& m_bar;
    std::FILE* m_lines;
    std::vector<FileOutcome> m_outcomes;
    std::vector<bool> m_ready;
    std::size_t m_next = 0;
    bool m_failed = false;
};

unsigned ThreadCount(const ConvertOptions& options, std::size_t files)
{
    const unsigned wanted = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>(wanted, files));
}

}  // namespace

int RunConvertCommand(const ArgumentList& args)
{
    ConvertOptions options;
    if (Error error = ParseConvertOptions(args, options))
        return UsageError(error.Message());
    std::vector<FilePlan> plans;
    if (Error error = PlanOutputs(options, plans))
        return UsageError(error.Message());

    // Every stored default is read once, here, so that all files of a batch
    // get the same ones.
    if (!options.noDefaults) {
        if (Error problem = SettingsReadProblem())
            ReportWarning("the stored defaults cannot be read, so the built-in ones are used: " + problem.Message());
        for (const std::string& notice : SettingsFileNotices())
            ReportWarning(notice);
    }
    FormatParameters format{};
    if (Error error = ResolveFormat(options, format))
        return UsageError(error.Message());
    format.salvage = options.salvage;
    const PageAnswers pages = PagesFromOptions(options);
    if (Error error = CheckPattern(options, pages))
        return UsageError(error.Message());
    if (format.format == DocumentFormat::zTXT && !format.compress)
        ReportWarning("current readers reject zTXT entire-document compression");
    if (format.format == DocumentFormat::PalmDoc && format.blockSizeKB > 4)
        ReportWarning("records of " + std::to_string(format.blockSizeKB) +
                      " KB: some PalmDoc readers accept only 4 KB records");

    std::optional<platform::TemporaryFile> input;
    if (plans.front().source == kStandardStream) {
        input.emplace(platform::TemporaryFolder(), "folivo-");
        if (Error error =
                ReadStandardInput(MostDocumentBytes(format.format, format.blockSizeKB, format.compress), *input)) {
            ReportError(error.Message());
            return kExitFailed;
        }
        plans.front().source = input->Path();
    }

    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    ProgressBar bar(plans.size(), showProgress);
    OrderedReport report(plans.size(), bar, options.output == kStandardStream ? stderr : stdout);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < plans.size();) {
            FileProgress progress(bar, i);
            report.Done(i, ConvertFile(plans[i], pages, format, showProgress ? &progress : nullptr));
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned t = 1; t < ThreadCount(options, plans.size()); ++t)
            helpers.emplace_back(work);
        work();
    }
    bar.Finish();
    return report.AnyFailed() ? kExitFailed : kExitOk;
}

}  // namespace folivo::cli
