#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>

namespace folivo::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::size_t files, bool enabled) : m_enabled(enabled), m_fractions(files, 0.0) {}

void ProgressBar::SetFileFraction(std::size_t index, double fraction)
{
    std::lock_guard lock(m_mutex);
    if (!m_enabled || index >= m_fractions.size())
        return;
    m_fractions[index] = std::clamp(fraction, 0.0, 1.0);
    Draw();
}

void ProgressBar::Print(const std::function<void()>& print)
{
    std::lock_guard lock(m_mutex);
    Erase();
    print();
    if (m_enabled)
        Draw();
}

void ProgressBar::Finish()
{
    std::lock_guard lock(m_mutex);
    Erase();
    m_enabled = false;
}

void ProgressBar::Draw()
{
    const double total = std::accumulate(m_fractions.begin(), m_fractions.end(), 0.0);
    const int percent = m_fractions.empty() ? 100 : static_cast<int>(100.0 * total / m_fractions.size());
    if (m_drawn && percent == m_shownPercent)
        return;
    const auto done = std::count(m_fractions.begin(), m_fractions.end(), 1.0);
    const int filled = percent * kBarWidth / 100;
    std::string line = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
    line +=
        std::to_string(percent) + "%  " + std::to_string(done) + "/" + std::to_string(m_fractions.size()) + " files";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    m_drawn = true;
    m_shownPercent = percent;
}

void ProgressBar::Erase()
{
    if (!m_drawn)
        return;
    // Standard output may share the terminal: flush it before the line is reused.
    std::fflush(stdout);
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_drawn = false;
}

void FileProgress::Open(const CString&, int lower, int upper, int step)
{
    ++m_phase;
    m_lower = lower;
    m_upper = upper;
    m_position = lower;
    m_step = step;
    Report();
}

void FileProgress::StepIt()
{
    m_position = std::min(m_position + m_step, m_upper);
    Report();
}

void FileProgress::Close()
{
    m_position = m_upper;
    Report();
}

void FileProgress::Report()
{
    const double within = m_upper > m_lower ? double(m_position - m_lower) / (m_upper - m_lower) : 1.0;
    // The file is complete only when the command says so, not when the writer's bar fills.
    const double fraction = (std::min(m_phase, 1) + within) / 2.0;
    m_bar.SetFileFraction(m_index, std::min(fraction, 0.99));
}

}  // namespace folivo::cli
