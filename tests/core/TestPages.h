// Wizard pages whose controls a test sets, standing in for the desktop
// program's pages: each page counts as shown unless the test says otherwise.
#pragma once

#include <core/WizardPages.h>

struct TestPages : folivo::WizardPages {
    bool TextPageShown() const override { return textShown; }
    folivo::TextPageState TextPage() const override { return text; }
    bool BookmarkPageShown() const override { return bookmarkShown; }
    CString BookmarkPatternText() const override { return patterns; }
    bool DocumentPageExists() const override { return documentExists; }
    bool AutoInstallChecked() const override { return autoInstall; }
    CString InstallUserText() const override { return user; }
    CString OutputPathText() const override { return output; }
    CString TitleText() const override { return title; }

    bool textShown = true;
    folivo::TextPageState text;
    bool bookmarkShown = true;
    CString patterns;
    bool documentExists = true;
    bool autoInstall = false;
    CString user = "Ann";
    CString output;
    CString title = "From the page";
};
