// EPUB books made by the tests: a zip archive of the given entries, written
// with libzip, and the entries of a small well-formed book to start from.
#pragma once

#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace epubtest {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The archive of `entries`, in order; the first is stored, the others deflated.
inline std::string Zip(const Entries& entries, const std::filesystem::path& scratch)
{
    const std::string path = (scratch / "book.zip.tmp").string();
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("zip_open failed");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [name, bytes] = entries[i];
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            throw std::runtime_error("zip_file_add failed for " + name);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), i == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("zip_close failed");
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

inline std::string Container(const std::string& packagePath = "OEBPS/content.opf")
{
    return "<?xml version='1.0'?><container version='1.0' "
           "xmlns='urn:oasis:names:tc:opendocument:xmlns:container'><rootfiles><rootfile full-path='" +
           packagePath + "' media-type='application/oebps-package+xml'/></rootfiles></container>";
}

inline std::string Chapter(const std::string& body)
{
    return "<?xml version='1.0' encoding='utf-8'?><html xmlns='http://www.w3.org/1999/xhtml'><head><title>c</title>"
           "</head><body>" +
           body + "</body></html>";
}

// A package document: `manifest` and `spine` are the inner XML of those elements.
inline std::string Package(const std::string& title, const std::string& manifest, const std::string& spine,
                           const std::string& spineAttributes = "")
{
    return "<?xml version='1.0' encoding='utf-8'?><package xmlns='http://www.idpf.org/2007/opf' version='3.0'>"
           "<metadata xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title>" +
           title + "</dc:title></metadata><manifest>" + manifest + "</manifest><spine" + spineAttributes + ">" + spine +
           "</spine></package>";
}

// An EPUB 3 book: three chapters (the third linear="no"), a navigation
// document whose toc nests and points into the middle of the second chapter.
inline Entries SmallBook()
{
    return {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml", Container()},
        {"OEBPS/content.opf",
         Package("Caf\xC3\xA9 Stories",
                 "<item id='nav' href='nav.xhtml' media-type='application/xhtml+xml' properties='nav'/>"
                 "<item id='c1' href='text/one.xhtml' media-type='application/xhtml+xml'/>"
                 "<item id='c2' href='text/two%20b.xhtml' media-type='application/xhtml+xml'/>"
                 "<item id='notes' href='notes.html' media-type='text/html'/>",
                 "<itemref idref='c1'/><itemref idref='notes' linear='no'/><itemref idref='c2'/>")},
        {"OEBPS/nav.xhtml",
         Chapter("<nav xmlns:epub='http://www.idpf.org/2007/ops' epub:type='toc'><ol>"
                 "<li><a href='text/one.xhtml'>One</a></li>"
                 "<li><a href='text/two%20b.xhtml'>Two</a><ol><li><a href='text/two%20b.xhtml#mid'>Two, later</a>"
                 "</li></ol></li><li><a href='notes.html'>Notes</a></li></ol></nav>")},
        {"OEBPS/text/one.xhtml", Chapter("<h1>Chapter One</h1><p>It began.</p>")},
        {"OEBPS/text/two b.xhtml", Chapter("<h1>Chapter Two</h1><p>More.</p><p id='mid'>Later on.</p>")},
        {"OEBPS/notes.html", "<html><body><p>A note.</p></body></html>"},
    };
}

}  // namespace epubtest
