// Opens the preview on the prepared text of the largest corpus book with its
// chapter bookmarks, jumps to the last chapter, and reports both times and
// the memory the process took meanwhile, beside their goals. The text rules
// and window placement are the built-in ones (a store of the run's own).
//   QT_QPA_PLATFORM=offscreen build/bench/gui/preview_bench [BOOK]
#include "GuiBenchmark.h"
#include "preview/CPreviewDlg.h"
#include "preview/CRichEditEx.h"
#include "preview/Templates.h"
#include "tools/PreparedBook.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The process's peak resident memory since the last ResetPeakMemory, in KiB.
long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Writing 5 to clear_refs starts the peak over from the present size.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

const char* Verdict(bool met)
{
    return met ? "met" : "MISSED";
}

}  // namespace

int main(int argc, char** argv)
{
    const GuiBenchmark bench(argc, argv);
    const std::string& source = bench.source;
    BookmarkList& list = BookmarkList::Instance();
    const PreparedBook book(source, "^CHAPTER [IVXLC]+", list);
    if (book.TextPath().empty() || list.IsEmpty()) {
        std::fprintf(stderr, "preview_bench: %s gave no prepared text with chapters\n", source.c_str());
        return 1;
    }
    const double textMB = static_cast<double>(book.Report().preparedLength) / (1024 * 1024);

    ResetPeakMemory();
    const long before = PeakMemoryKiB();
    QElapsedTimer clock;
    clock.start();
    CPreviewDlg preview(book.TextPath());
    preview.show();
    QApplication::processEvents();
    const double openMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    auto* text = preview.findChild<CRichEditEx*>(QString::number(PreviewTemplate::kText));
    clock.restart();
    preview.GoToBookmark(list.Count() - 1);
    preview.repaint();
    const double jumpMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double peakMB = static_cast<double>(PeakMemoryKiB()) / 1024;
    const double goalMB = 4 * textMB + 60;

    std::printf("book          %s\n", source.c_str());
    std::printf("prepared text %.2f MB, %d lines, %d bookmarks\n", textMB, text->LineCount(), list.Count());
    std::printf("open          %8.1f ms  (goal < 1000 ms: %s)\n", openMs, Verdict(openMs < 1000));
    std::printf("jump to last  %8.2f ms  (goal < 50 ms: %s), top line %d\n", jumpMs, Verdict(jumpMs < 50),
                text->FirstVisibleLine());
    std::printf("peak memory   %8.1f MB  (goal < 4 x text + 60 = %.1f MB: %s; %.1f MB before opening)\n", peakMB,
                goalMB, Verdict(peakMB < goalMB), static_cast<double>(before) / 1024);
    return 0;
}
