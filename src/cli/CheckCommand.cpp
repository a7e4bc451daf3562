// folivo check FILE.pdb...: what the readers in use today refuse, or show
// wrongly, in each database.
#include "Arguments.h"
#include "Commands.h"
#include "DatabaseInput.h"
#include "Usage.h"

#include <core/PrintableText.h>
#include <palm/DatabaseCheck.h>

#include <cstdio>

namespace folivo::cli {

namespace {

// A PalmDoc or zTXT database at least as far as its type (bytes 60 to 63):
// anything else is no e-book to check.
bool IsEbookDatabase(std::string_view bytes)
{
    if (bytes.size() < 64)
        return false;
    const std::string_view type = bytes.substr(60, 4);
    return type == "TEXt" || type == "zTXT";
}

// One line a finding; names the file brings are shown as info shows them.
void PrintFindings(const std::string& shownPath, const std::vector<palm::Finding>& findings)
{
    if (findings.empty())
        std::printf("%s: no problems found\n", shownPath.c_str());
    for (const palm::Finding& finding : findings)
        std::printf("%s: %s: %s: %s\n", shownPath.c_str(), finding.readers.c_str(),
                    finding.severity == palm::Severity::Refuses ? "refuses" : "shows wrongly",
                    PrintableName(finding.reason).c_str());
}

}  // namespace

int RunCheckCommand(const ArgumentList& args)
{
    ParsedArguments parsed;
    if (Error error = ParseArguments(args, {}, parsed))
        return UsageError(error.Message());
    if (parsed.operands.empty())
        return UsageError("check takes one or more database files");
    int status = kExitOk;
    for (const std::string& path : parsed.operands) {
        std::string bytes;
        if (const palm::Result read = ReadDatabaseBytes(path, bytes); !read.Ok()) {
            ReportError(StreamName(path) + ": " + palm::Message(read));
            status = kExitFailed;
            continue;
        }
        if (!IsEbookDatabase(bytes)) {
            ReportError(StreamName(path) + ": " + palm::Message({palm::Status::NotAnEbook, {}}));
            status = kExitFailed;
            continue;
        }
        const std::vector<palm::Finding> findings = palm::CheckDatabase(bytes);
        PrintFindings(PrintablePath(StreamName(path)), findings);
        if (palm::AnyRefusal(findings))
            status = kExitFailed;
    }
    return status;
}

}  // namespace folivo::cli
