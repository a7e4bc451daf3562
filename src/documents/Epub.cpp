#include "Epub.h"

#include "HtmlLayout.h"
#include "ParserInput.h"
#include "XmlTree.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace documents {

namespace {

// No real book has entries near these sizes; a larger one is a zip bomb.
constexpr std::uint64_t kMostEntryBytes = 64u << 20;
constexpr std::uint64_t kMostBookBytes = 1u << 30;
constexpr std::size_t kMostSpineItems = 20000;
constexpr int kMostContentsDepth = 64;

struct ArchiveClose {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The archive in memory, and what reading its entries has cost so far.
class Archive {
public:
    std::string Open(std::string_view bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source)
            m_zip.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
        std::string problem;
        if (!m_zip) {
            problem = zip_error_strerror(&error);
            if (source)
                zip_source_free(source);
        }
        zip_error_fini(&error);
        return problem;
    }

    bool Has(const std::string& name) const { return zip_name_locate(m_zip.get(), name.c_str(), 0) >= 0; }

    // The entry's bytes; empty with `problem` set when it is missing,
    // damaged or larger than the bounds.
    std::string Read(const std::string& name, std::string& problem)
    {
        std::string bytes;
        problem = Inflate(
            name, [&](std::size_t size) { bytes.reserve(size); }, [&](std::string_view piece) { bytes += piece; });
        if (!problem.empty())
            bytes.clear();
        return bytes;
    }

    // Starts inflating the entry into `input` on a thread of its own, so
    // that it is parsed while it inflates; the input's problem tells what
    // Read's would. Nothing else may use the archive until the thread ends.
    std::jthread Stream(const std::string& name, ParserInput& input)
    {
        return std::jthread([this, name, &input] {
            std::string problem;
            try {
                problem = Inflate(
                    name, [&](std::size_t size) { input.Reserve(size); },
                    [&](std::string_view piece) { input.Append(piece); });
            } catch (const std::bad_alloc&) {
                problem = "there is not enough memory to read it";
            }
            input.Finish(std::move(problem));
        });
    }

private:
    // Hands the entry's bytes to `take` as they inflate, after telling
    // `expect` the size it declares (within the bounds); the problem when it
    // is missing, damaged or larger than the bounds, else empty.
    template <class Expect, class Take>
    std::string Inflate(const std::string& name, Expect&& expect, Take&& take)
    {
        const zip_int64_t index = zip_name_locate(m_zip.get(), name.c_str(), 0);
        if (index < 0)
            return "it is not in the book";
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(m_zip.get(), index, 0), zip_fclose);
        if (!file)
            return zip_strerror(m_zip.get());
        zip_stat_t stat;
        if (zip_stat_index(m_zip.get(), static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_SIZE) != 0)
            expect(static_cast<std::size_t>(std::min<std::uint64_t>(stat.size, kMostEntryBytes)));
        // The declared size may lie: what inflates is counted as it comes.
        std::uint64_t inflated = 0;
        char buffer[64 * 1024];
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
            if (n < 0)
                return zip_file_strerror(file.get());
            if (n == 0)
                return {};
            inflated += static_cast<std::uint64_t>(n);
            m_spent += static_cast<std::uint64_t>(n);
            if (inflated > kMostEntryBytes || m_spent > kMostBookBytes)
                return "it inflates to more than " + std::to_string(kMostEntryBytes >> 20) +
                       " MB (a zip bomb, or no book)";
            take(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }

    std::unique_ptr<zip_t, ArchiveClose> m_zip;
    std::uint64_t m_spent = 0;
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string PercentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The folder part of an entry's name, with its final '/'.
std::string FolderOf(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// A reference (its fragment cut off) from the entry in `folder`, as the name
// of an entry; nullopt when it leads out of the archive or elsewhere (a
// scheme such as http:).
std::optional<std::string> Resolve(const std::string& folder, std::string_view reference)
{
    reference = reference.substr(0, reference.find('#'));
    const std::size_t colon = reference.find(':');
    if (colon != std::string_view::npos && reference.find('/') > colon)
        return std::nullopt;
    const std::string path = PercentDecoded(reference);
    std::vector<std::string> parts;
    std::string joined = path.starts_with('/') ? path.substr(1) : folder + path;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t end = std::min(joined.find('/', start), joined.size());
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string name;
    for (const std::string& part : parts)
        name += (name.empty() ? "" : "/") + part;
    return name;
}

std::string Fragment(std::string_view reference)
{
    const std::size_t hash = reference.find('#');
    return hash == std::string_view::npos ? std::string() : PercentDecoded(reference.substr(hash + 1));
}

xmlNode* FirstElement(xmlNode* root, std::string_view name)
{
    xmlNode* found = nullptr;
    ForEachElement(root, [&](xmlNode* element) {
        if (!found && LocalName(element) == name)
            found = element;
        return !found;
    });
    return found;
}

struct ManifestItem {
    std::string name;  // the entry's name in the archive
    std::string mediaType;
    std::string properties;
};

// The book as its package document describes it.
struct Package {
    std::string title;
    std::vector<std::pair<std::string, ManifestItem>> manifest;  // by id
    std::vector<std::string> spine;                              // ids, in reading order
    std::string ncxId;

    const ManifestItem* Item(const std::string& id) const
    {
        for (const auto& [itemId, item] : manifest)
            if (itemId == id)
                return &item;
        return nullptr;
    }
};

std::string ReadPackage(xmlNode* root, const std::string& folder, Package& package)
{
    if (xmlNode* title = FirstElement(root, "title"))
        package.title = TextOf(title);
    xmlNode* manifest = FirstElement(root, "manifest");
    xmlNode* spine = FirstElement(root, "spine");
    if (!manifest || !spine)
        return "its package document has no manifest or no spine";
    ForEachElement(manifest, [&](xmlNode* element) {
        if (LocalName(element) == "item")
            if (std::optional<std::string> name = Resolve(folder, Attribute(element, "href")))
                package.manifest.push_back(
                    {Attribute(element, "id"),
                     {*name, Attribute(element, "media-type"), Attribute(element, "properties")}});
        return true;
    });
    package.ncxId = Attribute(spine, "toc");
    std::vector<std::string> later;
    ForEachElement(spine, [&](xmlNode* element) {
        if (LocalName(element) == "itemref")
            (Attribute(element, "linear") == "no" ? later : package.spine).push_back(Attribute(element, "idref"));
        return true;
    });
    package.spine.insert(package.spine.end(), later.begin(), later.end());
    if (package.spine.empty())
        return "its spine lists no content document";
    if (package.spine.size() > kMostSpineItems)
        return "its spine lists more than " + std::to_string(kMostSpineItems) + " content documents";
    return {};
}

bool IsFontObfuscation(std::string_view algorithm)
{
    return algorithm == "http://www.idpf.org/2008/embedding" || algorithm == "http://ns.adobe.com/pdf/enc#RC";
}

// Whether META-INF/encryption.xml encrypts one of the content documents with
// anything but the font obfuscations, which hide fonts, not text.
bool Protected(Archive& archive, const Package& package)
{
    std::string problem;
    const std::string bytes = archive.Read("META-INF/encryption.xml", problem);
    if (bytes.empty())
        return false;
    const DocPtr doc = ReadXml(bytes);
    if (!doc)
        return true;  // a book that hides what it encrypts is not one to guess about
    bool found = false;
    ForEachElement(xmlDocGetRootElement(doc.get()), [&](xmlNode* element) {
        if (LocalName(element) != "EncryptedData")
            return true;
        xmlNode* method = FirstElement(element, "EncryptionMethod");
        xmlNode* reference = FirstElement(element, "CipherReference");
        if (!reference || (method && IsFontObfuscation(Attribute(method, "Algorithm"))))
            return false;
        const std::optional<std::string> name = Resolve("", Attribute(reference, "URI"));
        for (const std::string& id : package.spine)
            if (const ManifestItem* item = package.Item(id); item && name && item->name == *name)
                found = true;
        return false;
    });
    return found;
}

// One entry of a table of contents: its label and where it points.
struct ContentsEntry {
    std::string label;
    std::string target;  // entry name, then "#" and the fragment when there is one
};

std::string Target(const std::string& folder, std::string_view reference)
{
    const std::optional<std::string> name = Resolve(folder, reference);
    if (!name)
        return {};
    const std::string fragment = Fragment(reference);
    return fragment.empty() ? *name : *name + '#' + fragment;
}

// The EPUB 3 navigation document's toc: the links of its nested lists.
std::vector<ContentsEntry> NavigationContents(xmlNode* root, const std::string& folder)
{
    std::vector<ContentsEntry> entries;
    xmlNode* toc = nullptr;
    ForEachElement(root, [&](xmlNode* element) {
        if (!toc && LocalName(element) == "nav" && Attribute(element, "type") == "toc")
            toc = element;
        return !toc;
    });
    if (!toc)
        return entries;
    ForEachElement(toc, [&](xmlNode* element) {
        if (LocalName(element) == "a" && !Attribute(element, "href").empty()) {
            entries.push_back({TextOf(element), Target(folder, Attribute(element, "href"))});
            return false;
        }
        return true;
    });
    return entries;
}

// The EPUB 2 NCX's navMap: its navPoints in document order, nested ones
// included, to a bounded depth.
std::vector<ContentsEntry> NcxContents(xmlNode* root, const std::string& folder)
{
    std::vector<ContentsEntry> entries;
    xmlNode* map = FirstElement(root, "navMap");
    if (!map)
        return entries;
    ForEachElement(map, [&](xmlNode* element) {
        if (LocalName(element) != "navPoint")
            return true;
        int depth = 0;
        for (xmlNode* up = element->parent; up && up != map; up = up->parent)
            ++depth;
        if (depth > kMostContentsDepth)
            return false;
        xmlNode* label = FirstElement(element, "text");
        xmlNode* content = FirstElement(element, "content");
        if (label && content && label->parent && label->parent->parent == element)
            entries.push_back({TextOf(label), Target(folder, Attribute(content, "src"))});
        return true;
    });
    return entries;
}

std::vector<ContentsEntry> ReadContents(Archive& archive, const Package& package, std::vector<std::string>& warnings)
{
    const ManifestItem* nav = nullptr;
    for (const auto& [id, item] : package.manifest) {
        std::string properties = " " + item.properties + " ";
        if (properties.find(" nav ") != std::string::npos)
            nav = &item;
    }
    const ManifestItem* ncx = package.Item(package.ncxId);
    for (const ManifestItem* source : {nav, ncx}) {
        if (!source)
            continue;
        std::string problem;
        const std::string bytes = archive.Read(source->name, problem);
        const DocPtr doc = bytes.empty() ? nullptr : ReadXml(bytes, &problem);
        if (!doc) {
            warnings.push_back("its table of contents " + source->name + " cannot be read (" + problem + ")");
            continue;
        }
        xmlNode* root = xmlDocGetRootElement(doc.get());
        std::vector<ContentsEntry> entries = source == nav ? NavigationContents(root, FolderOf(source->name))
                                                           : NcxContents(root, FolderOf(source->name));
        if (!entries.empty())
            return entries;
    }
    return {};
}

}  // namespace

namespace {

// Opens the archive and reads its package document.
std::string OpenPackage(std::string_view bytes, Archive& archive, Package& package)
{
    if (std::string problem = archive.Open(bytes); !problem.empty())
        return "the EPUB book is not a readable zip archive (" + problem + ")";
    std::string problem;
    const std::string container = archive.Read("META-INF/container.xml", problem);
    if (container.empty())
        return "the EPUB book has no META-INF/container.xml (" + problem + ")";
    const DocPtr containerDoc = ReadXml(container, &problem);
    xmlNode* rootfile = containerDoc ? FirstElement(xmlDocGetRootElement(containerDoc.get()), "rootfile") : nullptr;
    const std::optional<std::string> packageName =
        rootfile ? Resolve("", Attribute(rootfile, "full-path")) : std::nullopt;
    if (!packageName || packageName->empty())
        return "the EPUB book's META-INF/container.xml names no package document" +
               (containerDoc ? std::string() : " (" + problem + ")");
    const std::string packageBytes = archive.Read(*packageName, problem);
    const DocPtr packageDoc = packageBytes.empty() ? nullptr : ReadXml(packageBytes, &problem);
    if (!packageDoc)
        return "the EPUB book's package document " + *packageName + " cannot be read (" + problem + ")";
    if (std::string why = ReadPackage(xmlDocGetRootElement(packageDoc.get()), FolderOf(*packageName), package);
        !why.empty())
        return "the EPUB book cannot be read: " + why;
    return {};
}

}  // namespace

std::string EpubTitle(std::string_view bytes)
{
    Archive archive;
    Package package;
    return OpenPackage(bytes, archive, package).empty() ? package.title : std::string();
}

std::string ReadEpub(std::string_view bytes, const OpenOptions& options, Document& document)
{
    Archive archive;
    Package package;
    if (std::string problem = OpenPackage(bytes, archive, package); !problem.empty())
        return problem;
    if (Protected(archive, package))
        return "the EPUB book is protected (DRM): its content documents are encrypted, so it cannot be converted";

    TextLayout layout(options.maxText);
    std::size_t laidOut = 0;
    for (const std::string& id : package.spine) {
        const ManifestItem* item = package.Item(id);
        if (!item) {
            document.warnings.push_back("its spine names \"" + id + "\", which its manifest lacks");
            continue;
        }
        ParserInput content;
        std::string why;
        {
            const std::jthread inflating = archive.Stream(item->name, content);
            why = layout.Add(content, item->mediaType != "text/html", item->name);
        }
        if (const std::string& problem = content.Problem(); !problem.empty()) {
            if (problem.starts_with("it inflates"))
                return "the EPUB book's " + item->name + " cannot be read: " + problem;
            document.warnings.push_back(item->name + " cannot be read: " + problem);
            continue;
        }
        if (!why.empty()) {
            if (why.starts_with("laid out"))
                return "the EPUB book is too large: " + why;
            document.warnings.push_back(item->name + " cannot be laid out: " + why);
            continue;
        }
        ++laidOut;
    }
    if (laidOut == 0)
        return "the EPUB book has no readable content document";

    for (const ContentsEntry& entry : ReadContents(archive, package, document.warnings)) {
        if (entry.label.empty() || entry.target.empty())
            continue;
        std::optional<std::size_t> at = layout.Target(entry.target);
        // A target the book lacks still names its content document.
        if (!at)
            at = layout.Target(entry.target.substr(0, entry.target.find('#')));
        if (at)
            document.marks.push_back({*at, entry.label});
    }
    if (document.marks.empty())
        document.marks = std::move(layout.Headings());
    document.text = layout.TakeText();
    document.title = package.title;
    document.laidOut = true;
    return {};
}

}  // namespace documents
