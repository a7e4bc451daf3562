// folivo convert [OPTIONS] FILE...: each document becomes a database as in
// the desktop program's direct conversion, several at a time.
#include "CliPages.h"
#include "Commands.h"
#include "ConvertOptions.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "Usage.h"

#include <core/ConversionJob.h>
#include <core/SettingsGroups.h>
#include <platform/Paths.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace folivo::cli {

namespace {

struct FormatParameters {
    DocumentFormat format;
    std::int32_t blockSizeKB;
    std::int32_t compress;
};

// The direct conversion's stored block size and compression, or the built-in
// ones, with the options over them.
FormatParameters ResolveFormat(const ConvertOptions& options)
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
    if (options.noCompress)
        settings.compress = false;
    return {settings.format, settings.blockSizeKB, settings.compress ? 1 : 0};
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

FileOutcome ConvertFile(const FilePlan& plan, const CliPages& shared, const FormatParameters& format,
                        ProgressSink* progress)
{
    FileOutcome outcome;
    const auto fail = [&outcome, &plan](const std::string& why) {
        outcome.errors.push_back(plan.source + ": " + why);
        outcome.failed = true;
    };
    if (plan.refusal) {
        fail(plan.refusal.Message());
        return outcome;
    }

    // A list of its own per file, so that files on other threads never meet.
    BookmarkList bookmarks;
    ConversionJob job(bookmarks);
    const CliPages pages = shared.ForFile(plan.output, plan.title);
    job.sourcePath = plan.source;
    job.sourceFileName = platform::FileNameOf(plan.source);
    job.title = plan.title;
    job.proposedOutputPath = plan.output;
    job.SetPages(&pages);
    job.SetProgress(progress);
    job.RunConversion(plan.source, plan.output, plan.title, format.format, format.blockSizeKB, format.compress);

    const ConversionReport& report = job.LastReport();
    if (report.patternError != RegularExpression::errNone) {
        fail("invalid bookmark pattern; converted without bookmarks");
        outcome.warnings.push_back(report.patternErrorText);
    }
    if (report.result != kConversionDone)
        fail(report.problem);
    else if (!report.databaseWritten)
        fail(palm::Message(report.writer));

    if (report.databaseWritten) {
        if (report.writer.status != palm::Status::Ok)
            outcome.warnings.push_back(plan.source + ": " + palm::Message(report.writer));
        const int found = report.generatedBookmarks;
        outcome.line = plan.output + ": " + std::to_string(FileSize(plan.output)) + " bytes, " + std::to_string(found) +
                       (found == 1 ? " bookmark" : " bookmarks");
    }
    if (report.installRequested && !report.install.Ok())
        fail("not queued for '" + pages.InstallUserText() + "': " + palm::Message(report.install));
    return outcome;
}

// Prints each file's outcome in the order the files were given, as soon as it
// and every file before it are done.
class OrderedReport {
public:
    OrderedReport(std::size_t files, ProgressBar& bar) : m_bar(bar), m_outcomes(files), m_ready(files, false) {}

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
                    std::printf("%s\n", outcome.line.c_str());
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
    const FormatParameters format = ResolveFormat(options);
    const CliPages pages(options);
    if (format.format == DocumentFormat::zTXT && !format.compress)
        ReportWarning("current readers reject zTXT entire-document compression");

    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    ProgressBar bar(plans.size(), showProgress);
    OrderedReport report(plans.size(), bar);
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
