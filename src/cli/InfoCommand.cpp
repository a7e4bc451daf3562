// folivo info FILE.pdb: what a database holds.
#include "Arguments.h"
#include "Commands.h"
#include "DatabaseInput.h"
#include "Usage.h"

#include <cstdio>

namespace folivo::cli {

namespace {

const char* CompressionName(const palm::EbookInfo& info)
{
    if (info.format == palm::EbookFormat::PalmDoc)
        return info.compression == 1 ? "none" : info.compression == 2 ? "PalmDoc" : "unknown";
    return info.compression == 1 ? "random access" : info.compression == 2 ? "entire document" : "unknown";
}

// Names and titles come from the file: they are shown so that none can
// break its line or steer the terminal.
void PrintInfo(const std::string& path, const palm::EbookInfo& info)
{
    std::printf("File:          %s\n", Printable(StreamName(path)).c_str());
    if (info.format == palm::EbookFormat::PalmDoc)
        std::printf("Format:        PalmDoc (type %s, creator %s)\n", PrintableName(info.type).c_str(),
                    PrintableName(info.creator).c_str());
    else
        std::printf("Format:        zTXT %u.%u (type %s, creator %s)\n", info.ztxtVersion >> 8u,
                    info.ztxtVersion & 0xFFu, PrintableName(info.type).c_str(), PrintableName(info.creator).c_str());
    std::printf("Title:         %s\n", PrintableName(info.title).c_str());
    std::printf("Compression:   %s (%u)\n", CompressionName(info), info.compression);
    std::printf("Record size:   %u bytes\n", info.recordSize);
    std::printf("Text records:  %u (of %u records)\n", info.textRecordCount, info.totalRecordCount);
    std::printf("Text length:   %zu bytes", info.text.size());
    if (info.textLength != info.text.size())
        std::printf(" (the header declares %u)", info.textLength);
    std::printf("\nBookmarks:     %zu\n", info.bookmarks.size());
    for (const palm::StoredBookmark& bookmark : info.bookmarks)
        std::printf("  %10u  %s\n", bookmark.offset, PrintableName(bookmark.name).c_str());
}

}  // namespace

int RunInfoCommand(const ArgumentList& args)
{
    ParsedArguments parsed;
    if (Error error = ParseArguments(args, {}, parsed))
        return UsageError(error.Message());
    if (parsed.operands.size() != 1)
        return UsageError("info takes one database file");
    const std::string& path = parsed.operands[0];
    palm::EbookInfo info;
    const palm::Result result = ReadDatabase(path, info);
    // Of a damaged database, what could be read helps to tell what is wrong.
    if (result.Ok() || info.salvaged)
        PrintInfo(path, info);
    if (!result.Ok()) {
        ReportError(StreamName(path) + ": " + palm::Message(result));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace folivo::cli
