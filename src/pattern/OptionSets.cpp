#include "OptionSets.h"

#include <array>

namespace patternkit {
namespace {

constexpr int kFirstPreset = 13;
constexpr int kBasic = 13, kExtended = 14, kNormal = 15, kEmacs = 16, kAwk = 17, kGrep = 18, kEgrep = 19, kSed = 20,
              kPerl = 21;

constexpr OptionSet Flags(std::initializer_list<int> options)
{
    OptionSet s = 0;
    for (int o : options)
        s |= Bit(o);
    return s;
}

// The single flags each preset stands for, indexed by preset - 13.
constexpr std::array<OptionSet, 9> kGroups = {
    Flags({1, 2, 3, 6, 7, 8}),     // basic
    Flags({1, 2, 8}),              // extended
    Flags({0, 1, 2, 8, 12}),       // normal
    Flags({6, 7, 8, 9}),           // emacs
    Flags({0, 1, 2, 8}),           // awk
    Flags({1, 2, 3, 4, 6, 7, 8}),  // grep
    Flags({1, 2, 4, 8}),           // egrep
    Flags({1, 2, 3, 6, 7, 8}),     // sed
    Flags({0, 1, 2, 8, 12}),       // perl
};

constexpr OptionSet kAllPresets = Flags({13, 14, 15, 16, 17, 18, 19, 20, 21});

// Classic regbase bits of the single flags 0 to 12.
constexpr std::array<unsigned long, 13> kSyntaxBits = {0x1,  0x2,   0x4,   0x8,    0x10,   0x20,  0x40,
                                                       0x80, 0x100, 0x200, 0x1000, 0x2000, 0x4000};
// Classic match bits of the match options 0 to 12.
constexpr std::array<unsigned long, 13> kMatchBits = {0,    0x1,  0x2,   0x4,   0x8,    0x10,  0x20,
                                                      0x40, 0x80, 0x400, 0x800, 0x1000, 0x2000};
constexpr unsigned long kUseExcept = 0x400;

bool IsPreset(int option)
{
    return option >= kFirstPreset;
}
OptionSet Group(int preset)
{
    return kGroups[static_cast<std::size_t>(preset - kFirstPreset)];
}

int Twin(int preset)
{
    switch (preset) {
    case kBasic: return kSed;
    case kSed: return kBasic;
    case kNormal: return kPerl;
    case kPerl: return kNormal;
    default: return -1;
    }
}

OptionSet WithTwin(int preset)
{
    const int twin = Twin(preset);
    return Bit(preset) | (twin >= 0 ? Bit(twin) : 0);
}

bool HasAll(OptionSet set, OptionSet flags)
{
    return (set & flags) == flags;
}

// After a single flag was added: marks the preset whose group is now complete.
void MarkPreset(OptionSet& set)
{
    int mark;
    if (!HasAll(set, Flags({1, 2, 8}))) {
        if (!HasAll(set, Flags({6, 7, 8, 9})))
            return;
        mark = kEmacs;
    } else if (HasAll(set, Flags({0, 12}))) {
        mark = Has(set, kPerl) ? kPerl : kNormal;
    } else if (HasAll(set, Flags({3, 6, 7}))) {
        if (Has(set, 4))
            mark = kGrep;
        else
            mark = Has(set, kSed) ? kSed : kBasic;
    } else if (Has(set, 0)) {
        mark = kAwk;
    } else if (Has(set, 4)) {
        mark = kEgrep;
    } else {
        mark = kExtended;
    }
    set = (set & ~kAllPresets) | Bit(mark);
}

}  // namespace

bool AddExpressionOption(OptionSet& set, int option)
{
    if (option < 0 || option >= kExpressionOptionCount || Has(set, option))
        return false;
    const OptionSet before = set;
    set |= Bit(option);
    if (IsPreset(option)) {
        const OptionSet group = Group(option);
        set |= group;
        // Older archives may hold more than one preset: each gives way.
        for (int p = kFirstPreset; p < kExpressionOptionCount; ++p) {
            if (Has(before, p))
                set &= ~(Bit(p) | (Group(p) & ~group));
        }
        const int twin = Twin(option);
        if (twin >= 0)
            set &= ~Bit(twin);
    } else {
        MarkPreset(set);
    }
    return true;
}

bool DeleteExpressionOption(OptionSet& set, int option)
{
    if (option < 0 || option >= kExpressionOptionCount || !Has(set, option))
        return false;
    set &= ~Bit(option);
    if (IsPreset(option)) {
        set &= ~(WithTwin(option) | Group(option));
    } else {
        for (int p : {kExtended, kNormal, kPerl, kBasic, kSed, kEmacs, kAwk, kGrep, kEgrep}) {
            if (Has(set, p) && !HasAll(set, Group(p)))
                set &= ~WithTwin(p);
        }
    }
    return true;
}

bool AddMatchOption(OptionSet& set, int option)
{
    if (option < 0 || option >= kMatchOptionCount || Has(set, option))
        return false;
    constexpr OptionSet kRestricting = Flags({1, 2, 3, 4, 5, 6, 7, 8});
    if (option == 0) {
        set = (set | Bit(0)) & ~kRestricting;
    } else {
        set |= Bit(option);
        if (Has(set, 0) && (set & kRestricting) != 0)
            set &= ~Bit(0);
    }
    return true;
}

bool DeleteMatchOption(OptionSet& set, int option)
{
    if (option < 0 || option >= kMatchOptionCount || !Has(set, option))
        return false;
    set &= ~Bit(option);
    if (option != 0 && (set & Flags({0, 1, 2, 3, 4, 5, 6, 7, 8})) == 0)
        set |= Bit(0);
    return true;
}

unsigned long ClassicCompileFlags(OptionSet options)
{
    unsigned long flags = kUseExcept;
    for (int o = 0; o < kFirstPreset; ++o) {
        if (Has(options, o))
            flags |= kSyntaxBits[static_cast<std::size_t>(o)];
    }
    for (int p = kFirstPreset; p < kExpressionOptionCount; ++p) {
        if (Has(options, p)) {
            for (int o = 0; o < kFirstPreset; ++o) {
                if (Has(Group(p), o))
                    flags |= kSyntaxBits[static_cast<std::size_t>(o)];
            }
            break;
        }
    }
    return flags;
}

unsigned long ClassicMatchFlags(OptionSet options, bool allowPartial)
{
    unsigned long flags = 0;
    for (int m = 1; m <= 11; ++m) {
        if (Has(options, m))
            flags |= kMatchBits[static_cast<std::size_t>(m)];
    }
    if (allowPartial && Has(options, 12))
        flags |= kMatchBits[12];
    return flags;
}

}  // namespace patternkit
