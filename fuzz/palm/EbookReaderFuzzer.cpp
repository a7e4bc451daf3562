// Any bytes handed to the database reader: an error result is fine, a crash,
// a sanitizer report, a bookmark name longer than its field or pointing past
// the declared text, a random-access zTXT text longer than its records hold
// or a text other than the declared length given as whole is not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <palm/EbookReader.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbook(std::string_view(reinterpret_cast<const char*>(data), size), info);
    if (result.Ok() && (info.salvaged || info.text.size() != info.textLength))
        std::abort();
    if (result.Ok() || info.salvaged) {
        for (const palm::StoredBookmark& bookmark : info.bookmarks)
            if (bookmark.name.size() > 20 || bookmark.offset > info.textLength)
                std::abort();
        const bool randomAccess = info.format == palm::EbookFormat::Ztxt && info.compression == 1;
        if (randomAccess && info.text.size() > std::uint64_t{info.recordSize} * info.textRecordCount)
            std::abort();
    }
    return 0;
}
