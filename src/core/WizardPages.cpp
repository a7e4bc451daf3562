#include <core/WizardPages.h>

namespace folivo {

void ResolveTextRules(ConversionSettings& settings, const WizardPages* pages)
{
    if (pages && pages->TextPageShown())
        TextRulesFromPage(pages->TextPage(), settings);
    else
        ReadTextRules(settings);
}

CString ResolveBookmarkPatterns(const WizardPages* pages, const CString& previousPatterns)
{
    if (pages && pages->BookmarkPageShown())
        return pages->BookmarkPatternText();
    CString patterns = previousPatterns;
    LoadBookmarkPatterns(patterns);
    return patterns;
}

bool ResolveContentsBookmarks(const WizardPages* pages)
{
    return pages && pages->BookmarkPageShown() ? pages->ContentsBookmarksChecked() : ReadContentsBookmarks();
}

void ResolveInstall(ConversionSettings& settings, const WizardPages* pages)
{
    bool fromPage = pages && pages->DocumentPageExists();
    settings.autoInstall = fromPage && pages->AutoInstallChecked();
    settings.installUser = fromPage ? pages->InstallUserText() : CString();
}

void ResolveRunSettings(ConversionSettings& settings, const WizardPages* pages, const CString& previousPatterns)
{
    ResolveTextRules(settings, pages);
    settings.bookmarkPatterns = ResolveBookmarkPatterns(pages, previousPatterns);
    settings.contentsBookmarks = ResolveContentsBookmarks(pages);
    ResolveInstall(settings, pages);
}

}  // namespace folivo
