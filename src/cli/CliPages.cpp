#include "CliPages.h"

#include "ConvertOptions.h"

#include <core/SettingsGroups.h>

namespace folivo::cli {

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
