#include <palm/DatabaseCheck.h>

#include <algorithm>

#include "DatabaseChecks.h"

namespace palm {

namespace check {

void FindingList::Refuses(std::size_t at, std::string readers, std::string reason)
{
    m_placed.push_back({at, {Severity::Refuses, std::move(readers), std::move(reason)}});
}

void FindingList::ShowsWrongly(std::size_t at, std::string readers, std::string reason)
{
    m_placed.push_back({at, {Severity::ShowsWrongly, std::move(readers), std::move(reason)}});
}

std::vector<Finding> FindingList::InFileOrder() const
{
    std::vector<Placed> placed = m_placed;
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.at < b.at; });
    std::vector<Finding> findings;
    findings.reserve(placed.size());
    for (Placed& p : placed)
        findings.push_back(std::move(p.finding));
    return findings;
}

void CheckTextLength(std::size_t declared, std::size_t decoded, bool palmDoc, std::size_t at, FindingList& findings)
{
    if (declared == decoded)
        return;
    const std::string said =
        "record 0 declares " + std::to_string(declared) + " bytes of text, the records give " + std::to_string(decoded);
    // KOReader's and CoolReader's PDB stream ends the text where record 0
    // says it ends, and takes the decoded length only when that is shorter.
    if (palmDoc && declared < decoded)
        findings.ShowsWrongly(at, "KOReader and CoolReader",
                              said + ": the text is cut at byte " + std::to_string(declared));
    else
        // Readers that size or place the text by the declared length (one
        // Palm reader is known to distrust it and decode to count).
        findings.ShowsWrongly(at, "some readers", said);
}

}  // namespace check

std::vector<Finding> CheckDatabase(std::string_view file)
{
    check::FindingList findings;
    check::DatabaseView database;
    if (check::CheckContainer(file, database, findings)) {
        if (database.type == "TEXt")
            check::CheckPalmDoc(database, findings);
        else
            check::CheckZtxt(database, findings);
    }
    return findings.InFileOrder();
}

bool AnyRefusal(const std::vector<Finding>& findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& finding) { return finding.severity == Severity::Refuses; });
}

}  // namespace palm
