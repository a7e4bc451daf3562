// A document prepared for the preview as the wizard prepares it, with the
// bookmarks a pattern finds, for the screenshots and the benchmarks.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionJob.h>

class PreparedBook {
public:
    // Runs the job in preparation-only mode with the stored text rules and
    // `pattern`; its generated bookmarks go to `list`.
    PreparedBook(const CString& sourcePath, const CString& pattern, BookmarkList& list);
    ~PreparedBook() { m_job.DeleteTextFile(); }
    PreparedBook(const PreparedBook&) = delete;
    PreparedBook& operator=(const PreparedBook&) = delete;

    // Empty when the document could not be prepared.
    const CString& TextPath() const { return m_job.textFilePath; }
    const folivo::ConversionReport& Report() const { return m_job.LastReport(); }

private:
    folivo::ConversionJob m_job;
};
