#include "OutsideLibraries.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <palm/EbookWriters.h>
#include <palm/HotSync.h>

namespace {

std::string Text(const char* s)
{
    return s ? s : "";
}

int Code(const palm::Result& result)
{
    return static_cast<int>(result.status);
}

}  // namespace

extern "C" int FolivoWritePalmDoc(int compress, const char* title, const char* textPath, const char* outputPath,
                                  const char* bookmarkPath, [[maybe_unused]] int bookmarkCount, int blockSize)
{
    palm::WriteRequest request{Text(textPath), Text(outputPath), Text(title), Text(bookmarkPath),
                               blockSize < 0 ? 0u : static_cast<std::uint32_t>(blockSize)};
    return Code(palm::WritePalmDoc(request, compress != 0));
}

extern "C" int FolivoWriteZtxt(const ZtxtJob* job)
{
    if (!job)
        return static_cast<int>(palm::Status::InvalidArgument);
    palm::WriteRequest request{Text(job->textPath), Text(job->outputPath), Text(job->title), Text(job->bookmarkPath),
                               job->blockSize};
    return Code(palm::WriteZtxt(request, static_cast<palm::ZtxtMode>(job->mode)));
}

extern "C" int16_t FolivoUserCount(void)
{
    std::vector<std::string> names;
    if (!palm::ListHandheldUsers(names).Ok())
        return -1;
    return static_cast<int16_t>(std::min<std::size_t>(names.size(), INT16_MAX));
}

extern "C" int32_t FolivoUserId(int16_t index, uint32_t* id)
{
    std::vector<std::string> names;
    if (!id || index < 0)
        return static_cast<int32_t>(palm::Status::InvalidArgument);
    if (palm::Result listed = palm::ListHandheldUsers(names); !listed.Ok())
        return Code(listed);
    if (static_cast<std::size_t>(index) >= names.size())
        return static_cast<int32_t>(palm::Status::NoSuchUser);
    *id = palm::HandheldUserId(names[static_cast<std::size_t>(index)]);
    return 0;
}

extern "C" int32_t FolivoUserName(uint32_t id, char* name, int16_t* size)
{
    std::vector<std::string> names;
    if (!name || !size || *size <= 0 || !palm::ListHandheldUsers(names).Ok())
        return 0;
    for (const std::string& candidate : names) {
        if (palm::HandheldUserId(candidate) != id)
            continue;
        if (candidate.size() + 1 > static_cast<std::size_t>(*size))
            return 0;
        std::memcpy(name, candidate.c_str(), candidate.size() + 1);
        *size = static_cast<int16_t>(candidate.size() + 1);
        return *size;
    }
    return 0;
}

extern "C" int FolivoInstallDatabase(const char* userName, const char* databasePath)
{
    return Code(palm::InstallDatabase(Text(userName), Text(databasePath)));
}
