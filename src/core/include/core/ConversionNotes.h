// What a person is told about a conversion that wrote its database: the
// command line prints these as warnings, the desktop program lists them.
#pragma once

#include <core/ConversionJob.h>

#include <string>
#include <vector>

namespace folivo {

struct ConversionNote {
    enum class About { Document, Pattern, Bookmarks, Characters, HtmlTag, Queue };
    About about;
    std::string text;  // one or more sentences, without the document's name
    // Part of what was asked for is missing from the database, so the
    // conversion counts as failed even though it wrote one.
    bool partial = false;
};

// The notes of the run that made `report`, in a fixed order: parts of the
// document that could not be read, lines the pattern could not search, bookmarks left out (and why), characters the
// hand-held lacks, an HTML tag that never closes, a queue warning. None for a
// run that wrote no database.
std::vector<ConversionNote> ConversionNotes(const ConversionReport& report);

}  // namespace folivo
