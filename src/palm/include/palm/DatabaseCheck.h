// What the e-book readers in use today refuse, or show wrongly, in a PalmDoc
// or zTXT database: a check of the raw file against what each reader family
// is known to do with it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palm {

enum class Severity {
    Refuses,       // stops the book from opening in those readers
    ShowsWrongly,  // the book opens there, but not as written
};

struct Finding {
    Severity severity;
    std::string readers;  // the reader family, e.g. "calibre", "Palm OS", "all readers"
    std::string reason;   // one short English clause naming the fault
};

// Every finding for the database file `file`, in file order; empty when
// nothing is known to trouble a reader. Any bytes are accepted: a file that
// is no PalmDoc (type TEXt) or zTXT database gives one Refuses finding for
// all readers, and damage gives findings, never an error or a crash.
std::vector<Finding> CheckDatabase(std::string_view file);

// True when any of `findings` stops the book from opening.
bool AnyRefusal(const std::vector<Finding>& findings);

}  // namespace palm
