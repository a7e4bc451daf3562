#include <core/WizardPages.h>

void ResolveTextRules(ConversionSettings& settings, const WizardPages* pages)
{
    if (pages && pages->textPageShown())
        TextRulesFromPage(pages->textPageState(), settings);
    else
        ReadTextRules(settings);
}

CString ResolveBookmarkPatterns(const WizardPages* pages, const CString& previousPatterns)
{
    if (pages && pages->bookmarkPageShown())
        return pages->bookmarkPatternText();
    CString patterns = previousPatterns;
    LoadBookmarkPatterns(patterns);
    return patterns;
}

void ResolveInstall(ConversionSettings& settings, const WizardPages* pages)
{
    bool fromPage = pages && pages->documentPageExists();
    settings.autoInstall = fromPage && pages->autoInstallChecked();
    settings.installUser = fromPage ? pages->installUserText() : CString();
}

void ResolveRunSettings(ConversionSettings& settings, const WizardPages* pages, const CString& previousPatterns)
{
    ResolveTextRules(settings, pages);
    settings.bookmarkPatterns = ResolveBookmarkPatterns(pages, previousPatterns);
    ResolveInstall(settings, pages);
}
