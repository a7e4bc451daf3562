// The command line's options in the role of the wizard's shown pages: the
// conversion job takes its text rules, pattern text and install user from
// them as it would from pages the user had seen.
#pragma once

#include <core/WizardPages.h>

struct ConvertOptions;

class CliPages final : public WizardPages {
public:
    // Reads the stored text rules and pattern (unless --no-defaults) and lays
    // the options over them. Call before any conversion thread starts.
    explicit CliPages(const ConvertOptions& options);

    // The database and title of one file; the rest is shared by every file.
    CliPages ForFile(const CString& outputPath, const CString& title) const;

    bool textPageShown() const override { return true; }
    TextPageState textPageState() const override { return m_text; }
    bool bookmarkPageShown() const override { return true; }
    CString bookmarkPatternText() const override { return m_patterns; }
    bool documentPageExists() const override { return m_installing; }
    bool autoInstallChecked() const override { return m_installing; }
    CString installUserText() const override { return m_installUser; }
    CString outputPathText() const override { return m_outputPath; }
    CString titleText() const override { return m_title; }

private:
    TextPageState m_text;
    CString m_patterns;
    bool m_installing = false;
    CString m_installUser;
    CString m_outputPath;
    CString m_title;
};

// The page buttons that select exactly the rules in `rules`.
TextPageState TextPageStateOf(const ConversionSettings& rules);
