// Wizard pages whose controls a test sets, standing in for the desktop
// program's pages: each page counts as shown unless the test says otherwise.
#pragma once

#include <core/WizardPages.h>

struct TestPages : folivo::PageAnswers {
    TestPages()
    {
        textShown = bookmarkShown = documentExists = true;
        user = "Ann";
        title = "From the page";
    }
};
