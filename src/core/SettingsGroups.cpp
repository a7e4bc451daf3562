#include <core/SettingsGroups.h>
#include <core/SettingsValues.h>

#include <algorithm>
#include <array>
#include <utility>

namespace folivo {

namespace {

// The text page's values in their stored order, with the member holding each.
constexpr std::array<std::pair<const char*, std::uint32_t TextPageState::*>, 12> kTextValues{{
    {"CRLFCR", &TextPageState::removeCR},
    {"CRLFLF", &TextPageState::removeLF},
    {"CRLFNone", &TextPageState::removeNone},
    {"CRLFTCR", &TextPageState::translateCR},
    {"CRLFTLF", &TextPageState::translateLF},
    {"CRLFTNone", &TextPageState::translateNone},
    {"Tabs", &TextPageState::tabs},
    {"HTML", &TextPageState::html},
    {"ASCII", &TextPageState::ascii},
    {"Single", &TextPageState::single},
    {"Charset", &TextPageState::charset},
    {"HtmlLayout", &TextPageState::htmlLayout},
}};

struct FormatValueNames {
    const char* block;
    const char* first;
    const char* second;
};

const FormatValueNames* FormatNames(DocumentFormat format)
{
    static constexpr FormatValueNames palmDoc{"PalmDocBlock", "PalmDocCompressOn", "PalmDocCompressOff"};
    static constexpr FormatValueNames zTxt{"zTxtBlock", "zTxtCompressRandom", "zTxtCompressEntire"};
    switch (format) {
    case DocumentFormat::PalmDoc: return &palmDoc;
    case DocumentFormat::zTXT: return &zTxt;
    default: return nullptr;
    }
}

const std::array<const char*, 4>& PlacementNames(PlacementWindow window)
{
    static constexpr std::array<const char*, 4> mainDialog{"Dleft", "Dright", "Dtop", "Dbottom"};
    static constexpr std::array<const char*, 4> preview{"Pleft", "Pright", "Ptop", "Pbottom"};
    return window == PlacementWindow::MainDialog ? mainDialog : preview;
}

bool Open(SettingsKey& key)
{
    unsigned long disposition = 0;
    return OpenSettingsKey(key, disposition, kSettingsKeyPath) == SETTINGS_OK;
}

// Stores every value, whatever became of the ones before it; true when all were stored.
bool StoreAll(SettingsKey& key, std::initializer_list<std::pair<const char*, std::uint32_t>> values)
{
    bool stored = true;
    for (const auto& [name, value] : values)
        stored = SetDwordValue(key, name, value) == SETTINGS_OK && stored;
    return stored;
}

void ReadTextValues(SettingsKey& key, TextPageState& state)
{
    for (const auto& [name, member] : kTextValues)
        ReadDword(key, name, state.*member);
}

// The mode of a radio group whose buttons hold the given states: None, unless
// a button is exactly checked; of several, the last one wins.
template <class Mode>
Mode LastChecked(std::initializer_list<std::pair<std::uint32_t, Mode>> buttons)
{
    Mode mode = Mode::None;
    for (const auto& [state, buttonMode] : buttons) {
        if (state == 1)
            mode = buttonMode;
    }
    return mode;
}

// Applies the radio groups' last-one-wins rule; `optionSet` decides when a
// check box's state counts as set.
template <class IsSet>
void ApplyTextRules(const TextPageState& s, ConversionSettings& settings, IsSet optionSet)
{
    settings.lineBreakRemoval = LastChecked<LineBreakRemoval>({{s.removeCR, LineBreakRemoval::RemoveCR},
                                                               {s.removeLF, LineBreakRemoval::RemoveLF},
                                                               {s.removeNone, LineBreakRemoval::None}});
    settings.lineBreakTranslation = LastChecked<LineBreakTranslation>({{s.translateCR, LineBreakTranslation::CrToLf},
                                                                       {s.translateLF, LineBreakTranslation::LfToCr},
                                                                       {s.translateNone, LineBreakTranslation::None}});
    settings.tabsToLineBreaks = optionSet(s.tabs);
    settings.removeHtmlTags = optionSet(s.html);
    settings.allowLowAscii = optionSet(s.ascii);
    settings.ignoreSingleLineBreaks = optionSet(s.single);
    settings.handheldCharset = optionSet(s.charset);
    settings.htmlLayout = optionSet(s.htmlLayout);
}

}  // namespace

bool LoadTextPageDefaults(TextPageState& state)
{
    SettingsKey key;
    if (!Open(key))
        return false;
    ReadTextValues(key, state);
    return true;
}

bool SaveTextDefaults(const TextPageState& state)
{
    SettingsKey key;
    if (!Open(key))
        return false;
    bool stored = true;
    for (const auto& [name, member] : kTextValues)
        stored = SetDwordValue(key, name, state.*member) == SETTINGS_OK && stored;
    return stored;
}

TextPageState TextPageStateOf(const ConversionSettings& rules)
{
    const auto checked = [](bool on) -> std::uint32_t { return on ? 1 : 0; };
    TextPageState state;
    state.removeCR = checked(rules.lineBreakRemoval == LineBreakRemoval::RemoveCR);
    state.removeLF = checked(rules.lineBreakRemoval == LineBreakRemoval::RemoveLF);
    state.removeNone = checked(rules.lineBreakRemoval == LineBreakRemoval::None);
    state.translateCR = checked(rules.lineBreakTranslation == LineBreakTranslation::CrToLf);
    state.translateLF = checked(rules.lineBreakTranslation == LineBreakTranslation::LfToCr);
    state.translateNone = checked(rules.lineBreakTranslation == LineBreakTranslation::None);
    state.tabs = checked(rules.tabsToLineBreaks);
    state.html = checked(rules.removeHtmlTags);
    state.ascii = checked(rules.allowLowAscii);
    state.single = checked(rules.ignoreSingleLineBreaks);
    state.charset = checked(rules.handheldCharset);
    state.htmlLayout = checked(rules.htmlLayout);
    return state;
}

TextPageState StoredTextPageState()
{
    ConversionSettings rules;
    ReadTextRules(rules);
    return TextPageStateOf(rules);
}

void TextRulesFromPage(const TextPageState& state, ConversionSettings& settings)
{
    ApplyTextRules(state, settings, [](std::uint32_t v) { return v == 1; });
}

void ReadTextRules(ConversionSettings& settings)
{
    TextPageState stored{};
    stored.removeNone = 0;
    stored.translateNone = 0;
    SettingsKey key;
    if (Open(key))
        ReadTextValues(key, stored);
    ApplyTextRules(stored, settings, [](std::uint32_t v) { return v != 0; });
}

bool LoadBookmarkPatterns(CString& patterns)
{
    SettingsKey key;
    if (!Open(key))
        return false;
    ReadString(key, "Bookmarks", patterns, kBookmarksBufferSize);
    return true;
}

bool SaveBookmarkDefaults(const CString& patterns)
{
    SettingsKey key;
    return Open(key) && SetStringValue(key, "Bookmarks", patterns.c_str()) == SETTINGS_OK;
}

bool ReadContentsBookmarks()
{
    SettingsKey key;
    std::uint32_t on = 1;
    if (Open(key))
        ReadDword(key, "ContentsBookmarks", on);
    return on != 0;
}

bool SaveContentsBookmarks(bool on)
{
    SettingsKey key;
    return Open(key) && SetDwordValue(key, "ContentsBookmarks", on ? 1 : 0) == SETTINGS_OK;
}

FormatPageState InitialFormatPageState(DocumentFormat format)
{
    FormatPageState state;
    state.blockSizeKB = format == DocumentFormat::PalmDoc ? 4 : 8;
    return state;
}

bool LoadFormatDefaults(DocumentFormat format, FormatPageState& state)
{
    const FormatValueNames* names = FormatNames(format);
    SettingsKey key;
    if (!names || !Open(key))
        return false;
    ReadDword(key, names->block, state.blockSizeKB);
    ReadDword(key, names->first, state.compressFirst);
    ReadDword(key, names->second, state.compressSecond);
    return true;
}

bool SaveFormatDefaults(DocumentFormat format, const FormatPageState& state)
{
    const FormatValueNames* names = FormatNames(format);
    SettingsKey key;
    return names && Open(key) &&
           StoreAll(key, {{names->block, state.blockSizeKB},
                          {names->first, state.compressFirst},
                          {names->second, state.compressSecond}});
}

FormatPageState StoredFormatPageState(DocumentFormat format)
{
    FormatPageState state = InitialFormatPageState(format);
    LoadFormatDefaults(format, state);
    state.blockSizeKB = std::clamp(state.blockSizeKB, kFewestBlockKB, kMostBlockKB);
    const bool first = state.compressFirst != 0;
    state.compressFirst = first ? 1 : 0;
    state.compressSecond = first ? 0 : 1;
    return state;
}

void ReadDirectRunDefaults(ConversionSettings& settings)
{
    const FormatValueNames* names = FormatNames(settings.format);
    if (!names) {
        settings.blockSizeKB = 0;
        settings.compress = false;
        return;
    }
    const FormatPageState initial = InitialFormatPageState(settings.format);
    std::uint32_t block = initial.blockSizeKB;
    std::uint32_t compress = initial.compressFirst;
    SettingsKey key;
    if (Open(key)) {
        ReadDword(key, names->block, block);
        ReadDword(key, names->first, compress);
    }
    settings.blockSizeKB = static_cast<std::int32_t>(block);
    settings.compress = compress != 0;
}

std::uint32_t ReadShellIntegration()
{
    std::uint32_t state = 0;
    SettingsKey key;
    if (Open(key))
        ReadDword(key, "ShExt", state);
    return state;
}

bool SaveShellIntegration(std::uint32_t state)
{
    SettingsKey key;
    return Open(key) && SetDwordValue(key, "ShExt", state) == SETTINGS_OK;
}

bool ReadWindowPlacement(PlacementWindow window, WindowPlacement& placement)
{
    SettingsKey key;
    if (!Open(key))
        return false;
    std::array<std::uint32_t, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!ReadDword(key, PlacementNames(window)[i], values[i]))
            return false;
    }
    placement.left = static_cast<std::int32_t>(values[0]);
    placement.right = static_cast<std::int32_t>(values[1]);
    placement.top = static_cast<std::int32_t>(values[2]);
    placement.bottom = static_cast<std::int32_t>(values[3]);
    return true;
}

bool SaveWindowPlacement(PlacementWindow window, const WindowPlacement& placement)
{
    SettingsKey key;
    if (!Open(key))
        return false;
    const auto& names = PlacementNames(window);
    return StoreAll(key, {{names[0], static_cast<std::uint32_t>(placement.left)},
                          {names[1], static_cast<std::uint32_t>(placement.right)},
                          {names[2], static_cast<std::uint32_t>(placement.top)},
                          {names[3], static_cast<std::uint32_t>(placement.bottom)}});
}

}  // namespace folivo
