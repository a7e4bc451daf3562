// What the conversion job asks of the wizard: has a page been shown in this
// wizard run, and what do its controls say. The GUI implements it; a run
// without a wizard passes null, and every value then comes from the store.
#pragma once

#include <core/ConversionSettings.h>
#include <core/SettingsGroups.h>

namespace folivo {

class WizardPages {
public:
    virtual ~WizardPages() = default;

    // The text options page (page 2).
    virtual bool TextPageShown() const = 0;
    virtual TextPageState TextPage() const = 0;

    // The bookmark patterns page (page 3): the whole text of its edit box.
    virtual bool BookmarkPageShown() const = 0;
    virtual CString BookmarkPatternText() const = 0;
    // Its box for bookmarks from the book's own contents.
    virtual bool ContentsBookmarksChecked() const = 0;

    // The document page (page 1): whether its window exists, its auto-install
    // box and the text of its user box.
    virtual bool DocumentPageExists() const = 0;
    virtual bool AutoInstallChecked() const = 0;
    virtual CString InstallUserText() const = 0;
    // The texts of its output-file and title edits, which a run started from
    // the pages converts to.
    virtual CString OutputPathText() const = 0;
    virtual CString TitleText() const = 0;
};

// Pages whose answers are set beforehand, for a run no window of the wizard
// drives (the command line, the tools, the tests) that still speaks for the
// pages. Nothing counts as shown until it is set so.
struct PageAnswers : WizardPages {
    bool textShown = false;
    TextPageState text;
    bool bookmarkShown = false;
    CString patterns;
    bool contents = true;
    bool documentExists = false;
    bool autoInstall = false;
    CString user;
    CString output;
    CString title;

    bool TextPageShown() const override { return textShown; }
    TextPageState TextPage() const override { return text; }
    bool BookmarkPageShown() const override { return bookmarkShown; }
    CString BookmarkPatternText() const override { return patterns; }
    bool ContentsBookmarksChecked() const override { return contents; }
    bool DocumentPageExists() const override { return documentExists; }
    bool AutoInstallChecked() const override { return autoInstall; }
    CString InstallUserText() const override { return user; }
    CString OutputPathText() const override { return output; }
    CString TitleText() const override { return title; }
};

// The text rules: from page 2 when it has been shown, else from the store.
void ResolveTextRules(ConversionSettings& settings, const WizardPages* pages);
// The pattern text: from page 3 when it has been shown, else the stored
// "Bookmarks", else `previousPatterns` (the sheet's previous run).
CString ResolveBookmarkPatterns(const WizardPages* pages, const CString& previousPatterns);
// Whether the book's contents give bookmarks: from page 3 when it has been
// shown, else from the store.
bool ResolveContentsBookmarks(const WizardPages* pages);
// autoInstall and installUser: only a run with page 1's window can install.
void ResolveInstall(ConversionSettings& settings, const WizardPages* pages);

// All three of the above for one run.
void ResolveRunSettings(ConversionSettings& settings, const WizardPages* pages, const CString& previousPatterns);

}  // namespace folivo
