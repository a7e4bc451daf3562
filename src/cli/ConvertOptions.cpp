#include "ConvertOptions.h"

#include "Arguments.h"

#include <core/SettingsGroups.h>

#include <array>

namespace folivo::cli {

namespace {

constexpr std::array kConvertOptions{
    OptionDefinition{"--format", true},
    OptionDefinition{"--block-size", true},
    OptionDefinition{"--no-compress", false},
    OptionDefinition{"--remove-cr", false},
    OptionDefinition{"--remove-lf", false},
    OptionDefinition{"--cr-to-lf", false},
    OptionDefinition{"--lf-to-cr", false},
    OptionDefinition{"--join-lines", false},
    OptionDefinition{"--tabs-to-breaks", false},
    OptionDefinition{"--allow-low-ascii", false},
    OptionDefinition{"--strip-html", false},
    OptionDefinition{"--keep-encoding", false},
    OptionDefinition{"--html-layout", false},
    OptionDefinition{"--contents-bookmarks", false},
    OptionDefinition{"--no-remove-cr", false},
    OptionDefinition{"--no-remove-lf", false},
    OptionDefinition{"--no-cr-to-lf", false},
    OptionDefinition{"--no-lf-to-cr", false},
    OptionDefinition{"--no-join-lines", false},
    OptionDefinition{"--no-tabs-to-breaks", false},
    OptionDefinition{"--no-allow-low-ascii", false},
    OptionDefinition{"--no-strip-html", false},
    OptionDefinition{"--no-keep-encoding", false},
    OptionDefinition{"--no-html-layout", false},
    OptionDefinition{"--no-contents-bookmarks", false},
    OptionDefinition{"--bookmarks", true},
    OptionDefinition{"--title", true},
    OptionDefinition{"-o", true},
    OptionDefinition{"--install", true},
    OptionDefinition{"--jobs", true},
    OptionDefinition{"--no-defaults", false},
    OptionDefinition{"--salvage", false},
};

template <class Mode>
struct ModeOption {
    std::string_view name;
    Mode mode;
};

constexpr ModeOption<LineBreakRemoval> kRemovalOptions[] = {{"--remove-cr", LineBreakRemoval::RemoveCR},
                                                            {"--remove-lf", LineBreakRemoval::RemoveLF}};
constexpr ModeOption<LineBreakTranslation> kTranslationOptions[] = {{"--cr-to-lf", LineBreakTranslation::CrToLf},
                                                                    {"--lf-to-cr", LineBreakTranslation::LfToCr}};

struct SwitchOption {
    std::string_view name;
    std::optional<bool> ConvertOptions::*rule;
};

constexpr SwitchOption kSwitchOptions[] = {
    {"--join-lines", &ConvertOptions::joinLines},
    {"--tabs-to-breaks", &ConvertOptions::tabsToBreaks},
    {"--allow-low-ascii", &ConvertOptions::allowLowAscii},
    {"--strip-html", &ConvertOptions::stripHtml},
    {"--keep-encoding", &ConvertOptions::keepEncoding},
    {"--html-layout", &ConvertOptions::htmlLayout},
    {"--contents-bookmarks", &ConvertOptions::contentsBookmarks},
};

Error Contradiction(const std::string& option)
{
    return Error::Failure("option '" + option + "' contradicts an earlier text-rule option");
}

// The buttons of one radio group: a second, different choice is a
// contradiction, and so is switching off the mode chosen.
template <typename Mode>
Error Choose(ModeChoice<Mode>& group, Mode mode, bool on, const std::string& option)
{
    const bool offBefore = std::ranges::find(group.off, mode) != group.off.end();
    if (on ? (group.chosen && *group.chosen != mode) || offBefore : group.chosen == mode)
        return Contradiction(option);
    if (on)
        group.chosen = mode;
    else
        group.off.push_back(mode);
    return {};
}

// Applies a text rule, as "--join-lines", or its "--no-" form, which
// switches it off; nullopt when `option` names no text rule.
std::optional<Error> ApplyRule(const std::string& option, ConvertOptions& options)
{
    const bool on = !option.starts_with("--no-");
    const std::string rule = on ? option : "--" + option.substr(5);
    for (const auto& [name, mode] : kRemovalOptions)
        if (name == rule)
            return Choose(options.removal, mode, on, option);
    for (const auto& [name, mode] : kTranslationOptions)
        if (name == rule)
            return Choose(options.translation, mode, on, option);
    for (const auto& [name, member] : kSwitchOptions) {
        if (name != rule)
            continue;
        std::optional<bool>& state = options.*member;
        if (state && *state != on)
            return Contradiction(option);
        state = on;
        return Error();
    }
    return std::nullopt;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

Error Apply(const ParsedOption& option, ConvertOptions& options)
{
    const std::string& name = option.name;
    const std::string& value = option.value;
    if (std::optional<Error> ruled = ApplyRule(name, options))
        return std::move(*ruled);
    long long number = 0;
    if (name == "--format") {
        const std::string format = Lower(value);
        if (format == "palmdoc")
            options.format = DocumentFormat::PalmDoc;
        else if (format == "ztxt")
            options.format = DocumentFormat::zTXT;
        else
            return Error::Failure("--format takes palmdoc or ztxt, not '" + value + "'");
    } else if (name == "--block-size") {
        if (!ParseDecimal(value, kFewestBlockKB, kMostBlockKB, number))
            return Error::Failure("--block-size takes a number of KB from " + std::to_string(kFewestBlockKB) + " to " +
                                  std::to_string(kMostBlockKB) + ", not '" + value + "'");
        options.blockSizeKB = static_cast<int>(number);
    } else if (name == "--jobs") {
        if (!ParseDecimal(value, 1, 1024, number))
            return Error::Failure("--jobs takes a number from 1 to 1024, not '" + value + "'");
        options.jobs = static_cast<unsigned>(number);
    } else if (name == "--no-compress") {
        options.noCompress = true;
    } else if (name == "--no-defaults") {
        options.noDefaults = true;
    } else if (name == "--salvage") {
        options.salvage = true;
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
    const bool fromStream = std::ranges::find(options.files, kStandardStream) != options.files.end();
    if (fromStream && options.files.size() > 1)
        return Error::Failure("'-' (standard input) must be the only FILE");
    if (fromStream && !options.output)
        return Error::Failure("standard input needs -o to name its database ('-o -': standard output)");
    if (options.output == kStandardStream && options.files.size() > 1)
        return Error::Failure("-o - writes one database, but " + std::to_string(options.files.size()) +
                              " files were given");
    if (options.output == kStandardStream && options.installUser)
        return Error::Failure("--install queues a database file, but -o - writes none");
    return {};
}

}  // namespace folivo::cli
