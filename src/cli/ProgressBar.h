// How far a batch of conversions has come, drawn as one line on standard
// error when that is a terminal. Safe to use from every conversion thread.
#pragma once

#include <core/ProgressSink.h>

#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace folivo::cli {

class ProgressBar {
public:
    // A disabled bar draws nothing but still serializes Print.
    ProgressBar(std::size_t files, bool enabled);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // How far file `index` is, from 0 to 1; the bar is redrawn when its
    // percentage changes.
    void SetFileFraction(std::size_t index, double fraction);
    // Runs `print` with the bar taken off its line, then draws it again, so
    // that messages and the bar never share a line.
    void Print(const std::function<void()>& print);
    // Takes the bar off for good.
    void Finish();

private:
    void Draw();
    void Erase();

    std::mutex m_mutex;
    bool m_enabled;
    bool m_drawn = false;
    int m_shownPercent = -1;
    std::vector<double> m_fractions;
};

// The conversion job's progress for one file: the text preparation is the
// first half of the file's share, the database writer the second.
class FileProgress final : public ProgressSink {
public:
    FileProgress(ProgressBar& bar, std::size_t index) : m_bar(bar), m_index(index) {}

    void Open(const CString& label, int lower, int upper, int step) override;
    void StepIt() override;
    void Close() override;

private:
    void Report();

    ProgressBar& m_bar;
    std::size_t m_index;
    int m_phase = -1;  // 0 preparation, 1 writer
    int m_position = 0;
    int m_lower = 0;
    int m_upper = 0;
    int m_step = 1;
};

}  // namespace folivo::cli
