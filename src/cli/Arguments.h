// Splitting a command's arguments into options and operands, and strict
// number parsing.
#pragma once

#include "Commands.h"

#include <core/Error.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace folivo::cli {

struct OptionDefinition {
    std::string_view name;  // "--format", "-o"
    bool takesValue;
    // How many values it takes when it takes any ("--add POSITION NAME": 2).
    std::size_t valueCount = 1;
};

struct ParsedOption {
    std::string name;
    std::string value;                    // the first value
    std::vector<std::string> moreValues;  // those after it, in order
};

struct ParsedArguments {
    std::vector<ParsedOption> options;  // in the order given
    std::vector<std::string> operands;
};

// A value follows its option as the next argument, or after '=' for long
// options ("--format=ztxt"); further values of an option that takes several
// are the arguments after it, whatever they look like. "--" ends the
// options; a lone "-" is an operand.
// Fails, saying what is wrong with the command line.
Error ParseArguments(const ArgumentList& args, std::span<const OptionDefinition> definitions, ParsedArguments& parsed);

// Plain decimal digits, with a leading '-' only when `min` is negative, and
// within [min, max]. No spaces, no '+', no other base.
bool ParseDecimal(std::string_view text, long long min, long long max, long long& value);

}  // namespace folivo::cli
