#include "Arguments.h"

#include <charconv>

namespace folivo::cli {

Error ParseArguments(const ArgumentList& args, std::span<const OptionDefinition> definitions, ParsedArguments& parsed)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string_view name = std::string_view(arg).substr(0, equals);
        const OptionDefinition* definition = nullptr;
        for (const OptionDefinition& candidate : definitions)
            if (candidate.name == name)
                definition = &candidate;
        if (!definition)
            return Error::Failure("unknown option '" + std::string(name) + "'");

        ParsedOption option{std::string(name), {}, {}};
        if (!definition->takesValue) {
            if (equals != std::string::npos)
                return Error::Failure("option '" + option.name + "' takes no value");
        } else {
            const bool joined = equals != std::string::npos;
            const std::size_t following = definition->valueCount - joined;
            if (args.size() - 1 - i < following)
                return Error::Failure("option '" + option.name + "' needs " +
                                      (definition->valueCount == 1
                                           ? std::string("a value")
                                           : std::to_string(definition->valueCount) + " values"));
            option.value = joined ? arg.substr(equals + 1) : args[++i];
            for (std::size_t k = 1; k < definition->valueCount; ++k)
                option.moreValues.push_back(args[++i]);
        }
        parsed.options.push_back(std::move(option));
    }
    return {};
}

bool ParseDecimal(std::string_view text, long long min, long long max, long long& value)
{
    std::string_view digits = text;
    if (min < 0 && digits.starts_with('-'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    long long parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || parsed < min || parsed > max)
        return false;
    value = parsed;
    return true;
}

}  // namespace folivo::cli
