#include "ConvertOptions.h"

#include "Arguments.h"

#include <array>

namespace folivo::cli {

namespace {

constexpr std::array kConvertOptions{
    OptionDefinition{"--format", true},          OptionDefinition{"--block-size", true},
    OptionDefinition{"--no-compress", false},    OptionDefinition{"--remove-cr", false},
    OptionDefinition{"--remove-lf", false},      OptionDefinition{"--cr-to-lf", false},
    OptionDefinition{"--lf-to-cr", false},       OptionDefinition{"--join-lines", false},
    OptionDefinition{"--tabs-to-breaks", false}, OptionDefinition{"--allow-low-ascii", false},
    OptionDefinition{"--strip-html", false},     OptionDefinition{"--bookmarks", true},
    OptionDefinition{"--title", true},           OptionDefinition{"-o", true},
    OptionDefinition{"--install", true},         OptionDefinition{"--jobs", true},
    OptionDefinition{"--no-defaults", false},
};

// The buttons of one radio group: a second, different choice is a contradiction.
template <typename Mode>
Error Choose(std::optional<Mode>& chosen, Mode mode, const std::string& option)
{
    if (chosen && *chosen != mode)
        return Error::Failure("option '" + option + "' contradicts an earlier line-break option");
    chosen = mode;
    return {};
}

Error Apply(const ParsedOption& option, ConvertOptions& options)
{
    const std::string& name = option.name;
    const std::string& value = option.value;
    long long number = 0;
    if (name == "--format") {
        if (value == "palmdoc")
            options.format = DocumentFormat::PalmDoc;
        else if (value == "ztxt")
            options.format = DocumentFormat::zTXT;
        else
            return Error::Failure("--format takes palmdoc or ztxt, not '" + value + "'");
    } else if (name == "--block-size") {
        if (!ParseDecimal(value, 1, 31, number))
            return Error::Failure("--block-size takes a number of KB from 1 to 31, not '" + value + "'");
        options.blockSizeKB = static_cast<int>(number);
    } else if (name == "--jobs") {
        if (!ParseDecimal(value, 1, 1024, number))
            return Error::Failure("--jobs takes a number from 1 to 1024, not '" + value + "'");
        options.jobs = static_cast<unsigned>(number);
    } else if (name == "--remove-cr") {
        return Choose(options.removal, LineBreakRemoval::RemoveCR, name);
    } else if (name == "--remove-lf") {
        return Choose(options.removal, LineBreakRemoval::RemoveLF, name);
    } else if (name == "--cr-to-lf") {
        return Choose(options.translation, LineBreakTranslation::CrToLf, name);
    } else if (name == "--lf-to-cr") {
        return Choose(options.translation, LineBreakTranslation::LfToCr, name);
    } else if (name == "--no-compress") {
        options.noCompress = true;
    } else if (name == "--join-lines") {
        options.joinLines = true;
    } else if (name == "--tabs-to-breaks") {
        options.tabsToBreaks = true;
    } else if (name == "--allow-low-ascii") {
        options.allowLowAscii = true;
    } else if (name == "--strip-html") {
        options.stripHtml = true;
    } else if (name == "--no-defaults") {
        options.noDefaults = true;
    } else if (name == "--bookmarks") {
        options.bookmarks = value;
    } else if (name == "--title") {
        options.title = value;
    } else if (name == "-o") {
        if (value.empty())
            return Error::Failure("-o needs a path");
        options.output = value;
    } else if (name == "--install") {
        options.installUser = value;
    }
    return {};
}

}  // namespace

Error ParseConvertOptions(const ArgumentList& args, ConvertOptions& options)
{
    ParsedArguments parsed;
    if (Error error = ParseArguments(args, kConvertOptions, parsed))
        return error;
    for (const ParsedOption& option : parsed.options) {
        if (Error error = Apply(option, options))
            return error;
    }
    options.files = std::move(parsed.operands);
    if (options.files.empty())
        return Error::Failure("convert needs at least one FILE");
    if (options.title && options.files.size() > 1)
        return Error::Failure("--title names one database, but " + std::to_string(options.files.size()) +
                              " files were given");
    return {};
}

}  // namespace folivo::cli
