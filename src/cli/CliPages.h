// The command line's options in the role of the wizard's shown pages: the
// conversion job takes its text rules, pattern text and install user from
// them as it would from pages the user had seen.
#pragma once

#include <core/WizardPages.h>

namespace folivo::cli {

struct ConvertOptions;

class CliPages final : public WizardPages {
public:
    // Reads the stored text rules and pattern (unless --no-defaults) and lays
    // the options over them. Call before any conversion thread starts.
    explicit CliPages(const ConvertOptions& options);

    // The database and title of one file; the rest is shared by every file.
    CliPages ForFile(const CString& outputPath, const CString& title) const;

    bool TextPageShown() const override { return true; }
    TextPageState TextPage() const override { return m_text; }
    bool BookmarkPageShown() const override { return true; }
    CString BookmarkPatternText() const override { return m_patterns; }
    bool DocumentPageExists() const override { return m_installing; }
    bool AutoInstallChecked() const override { return m_installing; }
    CString InstallUserText() const override { return m_installUser; }
    CString OutputPathText() const override { return m_outputPath; }
    CString TitleText() const override { return m_title; }

private:
    TextPageState m_text;
    CString m_patterns;
    bool m_installing = false;
    CString m_installUser;
    CString m_outputPath;
    CString m_title;
};

}  // namespace folivo::cli
