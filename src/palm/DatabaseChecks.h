// The parts of CheckDatabase: the findings gathered, the records as readers
// see them, and the checks of the container, of each format and of what
// readers take the text for.
#pragma once

#include <palm/DatabaseCheck.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace palm::check {

// Findings as the checks make them, each with the file offset it concerns.
class FindingList {
public:
    void Refuses(std::size_t at, std::string readers, std::string reason);
    void ShowsWrongly(std::size_t at, std::string readers, std::string reason);
    // Sorted by offset; findings at one offset stay in the order made.
    std::vector<Finding> InFileOrder() const;

private:
    struct Placed {
        std::size_t at;
        Finding finding;
    };
    std::vector<Placed> m_placed;
};

// One record as readers cut it from the file: from its offset to the next
// record's (the last to the end of the file). `bytes` is what lies there,
// empty for a record that starts past the end or after the next one.
struct RecordView {
    std::size_t at;
    std::string_view bytes;
};

struct DatabaseView {
    std::string_view file;
    std::string type;     // 4 bytes
    std::string creator;  // 4 bytes
    std::vector<RecordView> records;
};

// The header and record list. False when they cannot be read at all, or
// the type is neither TEXt nor zTXT: then nothing further can be checked.
bool CheckContainer(std::string_view file, DatabaseView& database, FindingList& findings);

void CheckPalmDoc(const DatabaseView& database, FindingList& findings);
void CheckZtxt(const DatabaseView& database, FindingList& findings);

// The decoded text of a book, for the readers that guess its markup.
struct TextSample {
    std::string_view text;
    std::string_view firstRecord;  // decoded; empty where no reader looks at it alone
    bool fbreaderSniffs = true;    // false where FBReader takes it for HTML anyway
    std::size_t at = 0;            // where the text records start
};

// What readers take for HTML, Markdown or Textile rather than plain text.
void CheckMarkup(const TextSample& sample, FindingList& findings);

// A finding when the text length record 0 declares (at `at`) is not what
// the text records decode to; what follows from it differs by format.
void CheckTextLength(std::size_t declared, std::size_t decoded, bool palmDoc, std::size_t at, FindingList& findings);

}  // namespace palm::check
