// EPUB books made of the fuzzer's bytes: the input is cut at "\n--\n" into a
// package document, two content documents, a navigation document, an NCX and
// an encryption.xml, and zipped beside a container that names the package; an
// input starting with 'Z' is handed over as the archive itself. A refusal is
// fine; a crash, a sanitizer report, more text than allowed or a mark past
// the text is not.
#include <documents/Document.h>

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kMostText = 1 << 20;

std::string Zipped(const std::vector<std::pair<std::string, std::string>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (buffer)
            zip_source_free(buffer);
        return {};
    }
    zip_source_keep(buffer);
    for (const auto& [name, bytes] : entries)
        if (zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0))
            if (zip_file_add(archive, name.c_str(), source, 0) < 0)
                zip_source_free(source);
    std::string out;
    zip_stat_t stat;
    if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
        if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
            out.resize(stat.size);
            if (zip_source_read(buffer, out.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
                out.clear();
        }
        zip_source_close(buffer);
    } else if (zip_get_error(archive)) {
        zip_discard(archive);
    }
    zip_source_free(buffer);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string book;
    if (input.starts_with('Z')) {
        book = input.substr(1);
    } else {
        static const char* const kNames[] = {"OEBPS/c.opf",     "OEBPS/a.xhtml", "OEBPS/b.html",
                                             "OEBPS/nav.xhtml", "OEBPS/toc.ncx", "META-INF/encryption.xml"};
        std::vector<std::pair<std::string, std::string>> entries = {
            {"mimetype", "application/epub+zip"},
            {"META-INF/container.xml",
             "<container><rootfiles><rootfile full-path='OEBPS/c.opf'/></rootfiles></container>"}};
        std::size_t from = 0;
        for (const char* name : kNames) {
            const std::size_t cut = input.find("\n--\n", from);
            entries.push_back(
                {name, std::string(input.substr(from, cut == std::string_view::npos ? cut : cut - from))});
            if (cut == std::string_view::npos)
                break;
            from = cut + 4;
        }
        book = Zipped(entries);
    }
    documents::Document document;
    if (documents::OpenDocument("book.epub", std::move(book), {true, kMostText}, document).empty()) {
        if (document.text.size() > kMostText)
            std::abort();
        for (const documents::Mark& mark : document.marks)
            if (mark.offset > document.text.size())
                std::abort();
    }
    return 0;
}
