// Every value one conversion run uses, and the names derived from its source.
#pragma once

#include <framework/CString.h>

#include <cstdint>

enum class DocumentFormat : std::int32_t {
    PalmDoc = 0,
    zTXT = 1,
    PrepareOnly = -1,  // prepare the text and bookmarks only (the preview's run)
    ShowWizard = 2,    // command line only: open the wizard instead
};

enum class LineBreakRemoval : std::int32_t { RemoveCR = 0, RemoveLF = 1, None = 2 };

enum class LineBreakTranslation : std::int32_t { CrToLf = 0, LfToCr = 1, None = 2 };

struct ConversionSettings {
    CString sourcePath;
    CString sourceFileName;
    CString title;
    CString outputPath;
    DocumentFormat format = DocumentFormat::PalmDoc;
    std::int32_t blockSizeKB = 4;
    bool compress = true;
    LineBreakRemoval lineBreakRemoval = LineBreakRemoval::None;
    LineBreakTranslation lineBreakTranslation = LineBreakTranslation::None;
    bool ignoreSingleLineBreaks = false;
    bool tabsToLineBreaks = false;
    bool allowLowAscii = false;
    bool removeHtmlTags = false;
    // The hand-held's character set: a Unicode document becomes Windows-1252
    // before the other rules run, and so do the bookmark pattern and the
    // title; with removeHtmlTags, character references are decoded too.
    bool handheldCharset = true;
    // HTML documents are laid out as text (blocks on lines of their own,
    // paragraphs apart, scripts and styles left out) before the other rules.
    bool htmlLayout = true;
    CString bookmarkPatterns;
    // A book's own table of contents, or an HTML document's headings, give
    // bookmarks besides the pattern's.
    bool contentsBookmarks = true;
    bool autoInstall = false;
    CString installUser;
};

namespace folivo {

// Names are derived from paths split at their last '/' or '\', so both styles
// work (platform::FileNameOf gives a path's file name).

// A file name's extension starts at its last '.', except where only dots
// come before it: ".notes" is a hidden file's name, not an extension.

// `fileName` without its extension; the whole name when it has none.
CString TitleOf(const CString& fileName);
// The title a database of the document at `path` takes unless the user gives
// one: the document's own (an EPUB book's dc:title), else TitleOf its file
// name.
CString DocumentTitle(const CString& path);
// Whether the document at `path` is a Palm database, by its name or its
// header (documents::IsDatabase).
bool IsDatabaseDocument(const CString& path);
// `path` with the extension of its file name replaced by ".pdb", or ".pdb"
// appended when the file name has none; a '.' in a folder name never counts.
// A database's path (".pdb" in any case) gives "-converted.pdb" instead.
CString OutputPathOf(const CString& path);

// A record for `sourcePath` with sourceFileName, title (DocumentTitle) and
// outputPath derived.
ConversionSettings SettingsForSource(const CString& sourcePath);

}  // namespace folivo
