// The command line's options in the role of the wizard's shown pages: the
// conversion job takes its text rules, pattern text and install user from
// them as it would from pages the user had seen.
#pragma once

#include <core/WizardPages.h>

namespace folivo::cli {

struct ConvertOptions;

// Reads the stored text rules and pattern (unless --no-defaults) and lays the
// options over them; each file then sets its own output path and title. Call
// before any conversion thread starts.
PageAnswers PagesFromOptions(const ConvertOptions& options);

}  // namespace folivo::cli
