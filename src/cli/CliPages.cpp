#include "CliPages.h"

#include "ConvertOptions.h"

#include <core/SettingsGroups.h>

namespace folivo::cli {

namespace {

std::uint32_t Checked(bool on)
{
    return on ? 1 : 0;
}

}  // namespace

TextPageState TextPageStateOf(const ConversionSettings& rules)
{
    TextPageState state;
    state.removeCR = Checked(rules.lineBreakRemoval == LineBreakRemoval::RemoveCR);
    state.removeLF = Checked(rules.lineBreakRemoval == LineBreakRemoval::RemoveLF);
    state.removeNone = Checked(rules.lineBreakRemoval == LineBreakRemoval::None);
    state.translateCR = Checked(rules.lineBreakTranslation == LineBreakTranslation::CrToLf);
    state.translateLF = Checked(rules.lineBreakTranslation == LineBreakTranslation::LfToCr);
    state.translateNone = Checked(rules.lineBreakTranslation == LineBreakTranslation::None);
    state.tabs = Checked(rules.tabsToLineBreaks);
    state.html = Checked(rules.removeHtmlTags);
    state.ascii = Checked(rules.allowLowAscii);
    state.single = Checked(rules.ignoreSingleLineBreaks);
    state.charset = Checked(rules.handheldCharset);
    return state;
}

CliPages::CliPages(const ConvertOptions& options)
{
    // The rules a direct conversion would read from the store, so that a
    // stored value means the same here as there (e.g. "Tabs" 2 counts as set).
    ConversionSettings rules;
    if (!options.noDefaults) {
        ReadTextRules(rules);
        // A new job has no previous pattern: nothing stored means none.
        LoadBookmarkPatterns(m_patterns);
    }
    rules.lineBreakRemoval = options.removal.Over(rules.lineBreakRemoval);
    rules.lineBreakTranslation = options.translation.Over(rules.lineBreakTranslation);
    rules.ignoreSingleLineBreaks = options.joinLines.value_or(rules.ignoreSingleLineBreaks);
    rules.tabsToLineBreaks = options.tabsToBreaks.value_or(rules.tabsToLineBreaks);
    rules.allowLowAscii = options.allowLowAscii.value_or(rules.allowLowAscii);
    rules.removeHtmlTags = options.stripHtml.value_or(rules.removeHtmlTags);
    rules.handheldCharset = !options.keepEncoding.value_or(!rules.handheldCharset);
    m_text = TextPageStateOf(rules);

    if (options.bookmarks)
        m_patterns = *options.bookmarks;
    m_installing = options.installUser.has_value();
    m_installUser = options.installUser.value_or(CString());
}

CliPages CliPages::ForFile(const CString& outputPath, const CString& title) const
{
    CliPages pages = *this;
    pages.m_outputPath = outputPath;
    pages.m_title = title;
    return pages;
}

}  // namespace folivo::cli
