// Readers and writers of the groups of stored defaults. Each reader starts from
// the defaults held in its destination and changes only what it reads; each
// writer writes all its values in a fixed order, even after one has failed,
// and is true when every one was stored: when false, LastSettingsProblem()
// (SettingsStore.h) says why.
#pragma once

#include <core/ConversionSettings.h>

#include <cstdint>

namespace folivo {

// Check states of the text page's option buttons (0 clear, 1 checked), in the
// order they are stored; the initial values are the page's defaults.
struct TextPageState {
    std::uint32_t removeCR = 0;       // CRLFCR, button 1020
    std::uint32_t removeLF = 0;       // CRLFLF, 1019
    std::uint32_t removeNone = 1;     // CRLFNone, 1018
    std::uint32_t translateCR = 0;    // CRLFTCR, 1022
    std::uint32_t translateLF = 0;    // CRLFTLF, 1023
    std::uint32_t translateNone = 1;  // CRLFTNone, 1021
    std::uint32_t tabs = 0;           // Tabs, 1025
    std::uint32_t html = 0;           // HTML, 1027
    std::uint32_t ascii = 0;          // ASCII, 1026
    std::uint32_t single = 0;         // Single, 1024
    std::uint32_t charset = 1;        // Charset, the hand-held's character set
    std::uint32_t htmlLayout = 1;     // HtmlLayout, HTML laid out as text
};

// Sets each button present in the store to the value stored. False when the
// key cannot be opened (the page then tries again on its next showing).
bool LoadTextPageDefaults(TextPageState& state);
bool SaveTextDefaults(const TextPageState& state);

// The buttons that select exactly the rules in `rules`.
TextPageState TextPageStateOf(const ConversionSettings& rules);
// What the text page shows when it is first shown: the rules a run without
// the page would read from the store, so that the page converts as such a
// run would (a stored "Tabs" 2 shows checked; one button per radio group).
TextPageState StoredTextPageState();

// The text rules of a run from the page's buttons: a button counts when it is
// exactly checked, and in each radio group the last checked button wins.
void TextRulesFromPage(const TextPageState& state, ConversionSettings& settings);
// The text rules of a run from the store, for a run whose text page was not
// shown: both modes start at None and a stored 1 selects its mode, the last
// one winning; the other options count as set when non-zero. Missing values
// and an unavailable key leave the defaults.
void ReadTextRules(ConversionSettings& settings);

// Replaces `patterns` with the stored pattern text when it can be read (text
// of 4192 bytes or more reads as missing). False when the key cannot be opened.
bool LoadBookmarkPatterns(CString& patterns);
bool SaveBookmarkDefaults(const CString& patterns);
// Whether a book's own contents give bookmarks ("ContentsBookmarks"; a
// missing or unreadable value means they do).
bool ReadContentsBookmarks();
bool SaveContentsBookmarks(bool on);

// The format page's block size and its two compression buttons.
struct FormatPageState {
    std::uint32_t blockSizeKB = 4;
    std::uint32_t compressFirst = 1;   // PalmDocCompressOn / zTxtCompressRandom
    std::uint32_t compressSecond = 0;  // PalmDocCompressOff / zTxtCompressEntire
};

// The page's defaults for PalmDoc (block 4) or zTXT (block 8).
FormatPageState InitialFormatPageState(DocumentFormat format);
// Reads the three values of `format` (PalmDoc or zTXT) over `state`. False
// when the key cannot be opened or the format has no stored defaults.
bool LoadFormatDefaults(DocumentFormat format, FormatPageState& state);
// Writes the block size and both buttons of `format`, nothing of the other.
bool SaveFormatDefaults(DocumentFormat format, const FormatPageState& state);

// The block sizes the format page's arrows reach, in KB.
inline constexpr std::uint32_t kFewestBlockKB = 1;
inline constexpr std::uint32_t kMostBlockKB = 31;
// What the format page shows for `format` when it is first shown: the stored
// values over the initial ones, the block size brought into the arrows'
// range, and one compression button checked, the first unless its stored
// value is 0 (as a direct run reads it).
FormatPageState StoredFormatPageState(DocumentFormat format);

// A direct run's block size and compression for settings.format: PalmDoc 4 KB
// and compression on, zTXT 8 KB and random access, unless stored otherwise.
// Other formats read nothing and get 0 and false.
void ReadDirectRunDefaults(ConversionSettings& settings);

// Shell integration: 8 on, 0 off (default 0).
std::uint32_t ReadShellIntegration();
// False when the value could not be stored: it keeps its old state.
bool SaveShellIntegration(std::uint32_t state);

// A window rectangle in screen pixels.
struct WindowPlacement {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

enum class PlacementWindow { MainDialog, Preview };

// True, with `placement` set, only when all four values can be read; reading
// stops at the first missing one.
bool ReadWindowPlacement(PlacementWindow window, WindowPlacement& placement);
bool SaveWindowPlacement(PlacementWindow window, const WindowPlacement& placement);

}  // namespace folivo
