// Whole percentages of the preview: where the topmost line stands, which
// line a chosen percentage names, where a bookmark lies in the text, and the
// go-to dialog's value. Percentages are truncated, never rounded.
#pragma once

#include <cstdint>
#include <string_view>

namespace folivo {

// The topmost visible line as a percentage of `lineCount` lines (at least 1).
int LinePercent(int firstLine, int lineCount);
// The same after a jump to a bookmark, against the last line's number, so
// that a jump to the end can show 100%. A one-line text shows 0%.
int JumpPercent(int firstLine, int lineCount);
// The line that `percent` of `lineCount` lines names; 100% names the line
// after the last one, which scrolls as far as the text goes.
int PercentLine(int percent, int lineCount);
// A bookmark's byte position as a percentage of the text's length. Positions
// beyond the end (a bookmark kept from a longer document) show 100%, and
// every position in an empty text shows 0%.
int PositionPercent(std::int32_t position, std::int32_t textLength);

// The go-to dialog's scroll bar actions.
enum class PercentStep { LineLeft, LineRight, PageLeft, PageRight, Thumb, Other };
// The value after `step` from `current`, within 0..100; Thumb takes `thumb`.
int StepPercent(int current, PercentStep step, int thumb);
// The go-to edit's text as a percentage: its leading digits, 0 when there
// are none, at most 100.
int PercentFromText(std::string_view text);

}  // namespace folivo
