#include "tools/PreparedBook.h"

#include <core/ConversionSettings.h>
#include <core/WizardPages.h>

PreparedBook::PreparedBook(const CString& sourcePath, const CString& pattern, BookmarkList& list) : m_job(list)
{
    // Only the bookmark page has been seen: the text rules come from the store.
    folivo::PageAnswers page;
    page.bookmarkShown = true;
    page.patterns = pattern;
    m_job.SetPages(&page);
    const ConversionSettings settings = folivo::SettingsForSource(sourcePath);
    m_job.sourcePath = sourcePath;
    m_job.sourceFileName = settings.sourceFileName;
    m_job.RunConversion(sourcePath, settings.outputPath, settings.title, DocumentFormat::PrepareOnly, 0, 0);
    m_job.SetPages(nullptr);
}
