#include <core/ConversionNotes.h>

#include "LineList.h"

namespace folivo {

std::vector<ConversionNote> ConversionNotes(const ConversionReport& report)
{
    using About = ConversionNote::About;
    std::vector<ConversionNote> notes;
    if (!report.databaseWritten)
        return notes;
    for (const std::string& warning : report.documentWarnings)
        notes.push_back({About::Document, "part of the document is missing: " + warning, true});
    if (!report.skippedLines.empty())
        notes.push_back({About::Pattern,
                         "the bookmark pattern is too complex to search " +
                             LineList({report.skippedLines.begin(), report.skippedLines.end()}) +
                             "; a bookmark there is missing",
                         true});
    // Every other writer status that still gave a database means bookmarks
    // that were asked for are not in it.
    if (report.writer.status != palm::Status::Ok)
        notes.push_back({About::Bookmarks, palm::Message(report.writer), true});
    if (const std::size_t n = report.replacedCharacters; n != 0)
        notes.push_back(
            {About::Characters, std::to_string(n) + (n == 1 ? " character" : " characters") +
                                    " the hand-held's character set lacks written in a plain form or as '?'"});
    if (!report.unclosedHtmlTag.empty())
        notes.push_back({About::HtmlTag, "the HTML tag \"" + report.unclosedHtmlTag +
                                             "\" never closes, so it and the text after it were kept as text"});
    if (report.installRequested && report.install.Ok() && report.install.status != palm::Status::Ok)
        notes.push_back({About::Queue, palm::Message(report.install)});
    return notes;
}

}  // namespace folivo
