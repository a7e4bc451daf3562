// folivo extract FILE.pdb [-o OUT] [--bookmarks] [--salvage]: a database's
// text or bookmarks.
#include "Arguments.h"
#include "BookmarkListing.h"
#include "Commands.h"
#include "DatabaseInput.h"
#include "OutputFile.h"
#include "Usage.h"

#include <array>
#include <cstdio>
#include <filesystem>

namespace folivo::cli {

namespace {

constexpr std::array kExtractOptions{OptionDefinition{"-o", true}, OptionDefinition{"--bookmarks", false},
                                     OptionDefinition{"--salvage", false}};

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

}  // namespace

int RunExtractCommand(const ArgumentList& args)
{
    ParsedArguments parsed;
    if (Error error = ParseArguments(args, kExtractOptions, parsed))
        return UsageError(error.Message());
    if (parsed.operands.size() != 1)
        return UsageError("extract takes one database file");
    std::string output = kStandardStream;
    bool bookmarks = false;
    bool salvage = false;
    for (const ParsedOption& option : parsed.options) {
        if (option.name == "-o")
            output = option.value;
        else if (option.name == "--bookmarks")
            bookmarks = true;
        else
            salvage = true;
    }
    if (output.empty())
        return UsageError("-o needs a path");
    const std::string& path = parsed.operands[0];
    const bool toStream = output == kStandardStream;
    if (!toStream && path != kStandardStream && SameFile(path, output)) {
        ReportError(output + ": is the database itself; it is left as it is");
        return kExitFailed;
    }

    palm::EbookInfo info;
    const palm::Result result = ReadDatabase(path, info);
    if (!result.Ok()) {
        const bool offered = info.salvaged && !salvage;
        ReportError(StreamName(path) + ": " + palm::Message(result) +
                    (offered ? " --salvage writes what can be read." : ""));
        if (!info.salvaged || !salvage)
            return kExitFailed;
    }
    const std::string content = bookmarks ? BookmarkListing(info.bookmarks) : std::move(info.text);
    int status = result.Ok() ? kExitOk : kExitFailed;
    if (toStream)
        std::fwrite(content.data(), 1, content.size(), stdout);
    else if (Error error = ReplaceFile(output, content)) {
        ReportError(error.Message());
        status = kExitFailed;
    }
    return status;
}

}  // namespace folivo::cli
