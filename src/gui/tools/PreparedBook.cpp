#include "tools/PreparedBook.h"

#include <core/ConversionSettings.h>
#include <core/WizardPages.h>

namespace {

// Only the bookmark page has been seen: the text rules come from the store.
class PatternPage final : public folivo::WizardPages {
public:
    explicit PatternPage(const CString& pattern) : m_pattern(pattern) {}

    bool TextPageShown() const override { return false; }
    folivo::TextPageState TextPage() const override { return {}; }
    bool BookmarkPageShown() const override { return true; }
    CString BookmarkPatternText() const override { return m_pattern; }
    bool DocumentPageExists() const override { return false; }
    bool AutoInstallChecked() const override { return false; }
    CString InstallUserText() const override { return {}; }
    CString OutputPathText() const override { return {}; }
    CString TitleText() const override { return {}; }

private:
    CString m_pattern;
};

}  // namespace

PreparedBook::PreparedBook(const CString& sourcePath, const CString& pattern, BookmarkList& list) : m_job(list)
{
    const PatternPage page(pattern);
    m_job.SetPages(&page);
    const ConversionSettings settings = folivo::SettingsForSource(sourcePath);
    m_job.sourcePath = sourcePath;
    m_job.sourceFileName = settings.sourceFileName;
    m_job.RunConversion(sourcePath, settings.outputPath, settings.title, DocumentFormat::PrepareOnly, 0, 0);
    m_job.SetPages(nullptr);
}
