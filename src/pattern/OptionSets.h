// The two option sets of RegularExpression and the rules that keep them
// consistent; their classic engine flag words.
//
// A set is a bit mask indexed by the option's value, so it is ordered, has no
// duplicates and iterates in ascending order for free.
#pragma once

#include <cstdint>

namespace patternkit {

using OptionSet = std::uint32_t;

constexpr OptionSet Bit(int option)
{
    return OptionSet{1} << option;
}
constexpr bool Has(OptionSet set, int option)
{
    return (set & Bit(option)) != 0;
}

constexpr int kExpressionOptionCount = 22;
constexpr int kMatchOptionCount = 13;

// A new object's sets: the normal preset with its flags, and matchDefault.
constexpr OptionSet kDefaultExpressionOptions = Bit(0) | Bit(1) | Bit(2) | Bit(8) | Bit(12) | Bit(15);
constexpr OptionSet kDefaultMatchOptions = Bit(0);

// Each returns whether the set changed.
bool AddExpressionOption(OptionSet& set, int option);
bool DeleteExpressionOption(OptionSet& set, int option);
bool AddMatchOption(OptionSet& set, int option);
bool DeleteMatchOption(OptionSet& set, int option);

// Classic regbase flags: the single flags, the group of the first preset, and
// use_except.
unsigned long ClassicCompileFlags(OptionSet expressionOptions);
// Classic match flags; match_partial only when the operation allows it.
unsigned long ClassicMatchFlags(OptionSet matchOptions, bool allowPartial);

}  // namespace patternkit
