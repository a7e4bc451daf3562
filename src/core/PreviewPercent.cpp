#include <core/PreviewPercent.h>

#include <algorithm>

namespace folivo {
namespace {

constexpr int kPageStep = 5;

// Positions reach 2^31, so their products need 64 bits.
int Ratio(std::int64_t part, std::int64_t whole)
{
    return static_cast<int>(part * 100 / whole);
}

}  // namespace

int LinePercent(int firstLine, int lineCount)
{
    return Ratio(firstLine, std::max(lineCount, 1));
}

int JumpPercent(int firstLine, int lineCount)
{
    return lineCount > 1 ? Ratio(firstLine, lineCount - 1) : 0;
}

int PercentLine(int percent, int lineCount)
{
    return static_cast<int>(std::int64_t{lineCount} * percent / 100);
}

int PositionPercent(std::int32_t position, std::int32_t textLength)
{
    if (textLength <= 0)
        return 0;
    return Ratio(std::clamp(position, 0, textLength), textLength);
}

int StepPercent(int current, PercentStep step, int thumb)
{
    switch (step) {
    case PercentStep::LineLeft: return std::max(current - 1, 0);
    case PercentStep::LineRight: return std::min(current + 1, 100);
    case PercentStep::PageLeft: return std::max(current - kPageStep, 0);
    case PercentStep::PageRight: return std::min(current + kPageStep, 100);
    case PercentStep::Thumb: return std::clamp(thumb, 0, 100);
    case PercentStep::Other: break;
    }
    return current;
}

int PercentFromText(std::string_view text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + (c - '0'), 100);
    }
    return value;
}

}  // namespace folivo
