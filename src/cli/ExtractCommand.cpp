// folivo extract FILE.pdb [-o OUT] [--bookmarks]: a database's text or bookmarks.
#include "Arguments.h"
#include "Commands.h"
#include "OutputFile.h"
#include "Usage.h"

#include <palm/EbookReader.h>

#include <array>
#include <cstdio>
#include <filesystem>

namespace folivo::cli {

namespace {

constexpr std::array kExtractOptions{OptionDefinition{"-o", true}, OptionDefinition{"--bookmarks", false}};

std::string BookmarkLines(const palm::EbookInfo& info)
{
    std::string lines;
    for (const palm::StoredBookmark& bookmark : info.bookmarks)
        lines += std::to_string(bookmark.offset) + '\t' + bookmark.name + '\n';
    return lines;
}

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
    std::string output;
    bool bookmarks = false;
    for (const ParsedOption& option : parsed.options) {
        if (option.name == "-o")
            output = option.value;
        else
            bookmarks = true;
    }
    const std::string& path = parsed.operands[0];
    if (!output.empty() && SameFile(path, output)) {
        ReportError(output + ": is the database itself; it is left as it is");
        return kExitFailed;
    }

    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbookFile(path, info);
    if (!result.Ok()) {
        ReportError(path + ": " + palm::Message(result));
        return kExitFailed;
    }
    const std::string content = bookmarks ? BookmarkLines(info) : std::move(info.text);
    if (output.empty()) {
        std::fwrite(content.data(), 1, content.size(), stdout);
        return kExitOk;
    }
    if (Error error = ReplaceFile(output, content)) {
        ReportError(error.Message());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace folivo::cli
