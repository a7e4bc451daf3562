#include "tools/PreparedBook.h"

#include <core/ConversionSettings.h>
#include <core/WizardPages.h>

namespace {

// Only the bookmark page has been seen: the text rules come from the store.
class PatternPage final : public WizardPages {
public:
    explicit PatternPage(const CString& pattern) : m_pattern(pattern) {}

    bool textPageShown() const override { return false; }
    TextPageState textPageState() const override { return {}; }
    bool bookmarkPageShown() const override { return true; }
    CString bookmarkPatternText() const override { return m_pattern; }
    bool documentPageExists() const override { return false; }
    bool autoInstallChecked() const override { return false; }
    CString installUserText() const override { return {}; }
    CString outputPathText() const override { return {}; }
    CString titleText() const override { return {}; }

private:
    CString m_pattern;
};

}  // namespace

PreparedBook::PreparedBook(const CString& sourcePath, const CString& pattern, BookmarkList& list) : m_job(list)
{
    const PatternPage page(pattern);
    m_job.SetPages(&page);
    const ConversionSettings settings = SettingsForSource(sourcePath);
    m_job.sourcePath = sourcePath;
    m_job.sourceFileName = settings.sourceFileName;
    m_job.RunConversion(sourcePath, settings.outputPath, settings.title, DocumentFormat::PrepareOnly, 0, 0);
    m_job.SetPages(nullptr);
}
