#include "OutputPlan.h"

#include "ConvertOptions.h"

#include <core/FileIdentity.h>
#include <platform/Paths.h>

#include <filesystem>
#include <set>

namespace folivo::cli {

namespace {

bool IsFolder(const CString& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

}  // namespace

Error PlanOutputs(const ConvertOptions& options, std::vector<FilePlan>& plans)
{
    const bool toStream = options.output == kStandardStream;
    const bool intoFolder = options.output && !toStream &&
                            (IsFolder(*options.output) || options.output->ends_with('/') || options.files.size() > 1);
    if (intoFolder && options.files.size() > 1 && !IsFolder(*options.output))
        return Error::Failure("-o must name an existing folder when several files are given");

    std::set<FileIdentity> outputs;
    for (const CString& source : options.files) {
        FilePlan plan;
        plan.source = source;
        const bool fromStream = source == kStandardStream;
        plan.name = StreamName(source);
        if (fromStream && intoFolder)
            return Error::Failure("-o must name the database file, not a folder, for standard input");
        const CString derived = OutputPathOf(source);
        if (!options.output)
            plan.output = derived;
        else if (intoFolder)
            plan.output = (std::filesystem::path(*options.output) / platform::FileNameOf(derived)).string();
        else
            plan.output = *options.output;
        plan.title = options.title.value_or(
            fromStream ? (toStream ? CString("Untitled") : TitleOf(platform::FileNameOf(plan.output)))
                       : DocumentTitle(source));
        if (toStream) {
            plans.push_back(std::move(plan));
            continue;
        }

        const Error replaces = fromStream ? Error() : DatabaseReplacesDocument(source, plan.output);
        plan.replacesSource = replaces && options.output && !intoFolder && IsDatabaseDocument(source);
        if (replaces && !plan.replacesSource)
            plan.refusal =
                Error::Failure(options.output ? "-o names the document itself" : replaces.Message() + "; use -o");
        else if (!outputs.insert(FileIdentity(plan.output)).second)
            plan.refusal = Error::Failure("an earlier file is converted to the same database ('" + plan.output + "')");
        plans.push_back(std::move(plan));
    }
    return {};
}

}  // namespace folivo::cli
