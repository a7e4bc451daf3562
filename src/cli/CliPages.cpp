#include "CliPages.h"

#include "ConvertOptions.h"

#include <core/SettingsGroups.h>

namespace folivo::cli {

PageAnswers PagesFromOptions(const ConvertOptions& options)
{
    PageAnswers pages;
    pages.textShown = true;
    pages.bookmarkShown = true;
    // The rules a direct conversion would read from the store, so that a
    // stored value means the same here as there (e.g. "Tabs" 2 counts as set).
    ConversionSettings rules;
    if (!options.noDefaults) {
        ReadTextRules(rules);
        // A new job has no previous pattern: nothing stored means none.
        LoadBookmarkPatterns(pages.patterns);
        pages.contents = ReadContentsBookmarks();
    }
    rules.lineBreakRemoval = options.removal.Over(rules.lineBreakRemoval);
    rules.lineBreakTranslation = options.translation.Over(rules.lineBreakTranslation);
    rules.ignoreSingleLineBreaks = options.joinLines.value_or(rules.ignoreSingleLineBreaks);
    rules.tabsToLineBreaks = options.tabsToBreaks.value_or(rules.tabsToLineBreaks);
    rules.allowLowAscii = options.allowLowAscii.value_or(rules.allowLowAscii);
    rules.removeHtmlTags = options.stripHtml.value_or(rules.removeHtmlTags);
    rules.handheldCharset = !options.keepEncoding.value_or(!rules.handheldCharset);
    rules.htmlLayout = options.htmlLayout.value_or(rules.htmlLayout);
    pages.text = TextPageStateOf(rules);

    if (options.bookmarks)
        pages.patterns = *options.bookmarks;
    pages.contents = options.contentsBookmarks.value_or(pages.contents);
    pages.documentExists = pages.autoInstall = options.installUser.has_value();
    pages.user = options.installUser.value_or(CString());
    return pages;
}

}  // namespace folivo::cli
