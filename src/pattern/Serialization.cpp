// The archive form of a RegularExpression (schemas 1 and 2).
#include "RegularExpressionState.h"

#include <framework/CArchive.h>

#include <cstdint>

namespace {

using patternkit::OptionSet;

constexpr unsigned kCurrentSchema = 2;
constexpr unsigned kUnknownSchema = 0xFFFFFFFFu;

void StoreSet(CArchive& ar, OptionSet set, int count)
{
    std::uint32_t n = 0;
    for (int o = 0; o < count; ++o)
        n += patternkit::Has(set, o);
    ar << n;
    for (int o = 0; o < count; ++o) {
        if (patternkit::Has(set, o))
            ar << static_cast<std::uint32_t>(o);
    }
}

// Values the set cannot hold (a damaged or foreign archive) are skipped.
OptionSet LoadSet(CArchive& ar, int count)
{
    std::uint32_t n = 0;
    ar >> n;
    OptionSet set = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t o = 0;
        ar >> o;
        if (o < static_cast<std::uint32_t>(count))
            set |= patternkit::Bit(static_cast<int>(o));
    }
    return set;
}

void StoreBool(CArchive& ar, bool b)
{
    ar << static_cast<std::uint32_t>(b ? 1 : 0);
}

bool LoadBool(CArchive& ar)
{
    std::uint32_t v = 0;
    ar >> v;
    return v == 1;
}

}  // namespace

void RegularExpression::Serialize(CArchive& ar)
{
    State& s = *m_state;
    if (ar.IsStoring()) {
        StoreSet(ar, s.expressionOptions, patternkit::kExpressionOptionCount);
        StoreSet(ar, s.matchOptions, patternkit::kMatchOptionCount);
        StoreBool(ar, s.directoryRecursion);
        StoreBool(ar, s.mergeCopy);
        StoreBool(ar, s.mergeOnlyFirst);
        StoreBool(ar, s.splitInputDelete);
        StoreBool(ar, s.continueFiles);
        ar << static_cast<std::uint32_t>(s.maximumSplits);
        ar << static_cast<std::int32_t>(s.formatType);
        ar << static_cast<std::int32_t>(s.localeModel);
        ar << s.expression << *s.stringToMatch << s.filesToMatch << s.formatString << s.saveExtension << s.localeDll;
        return;
    }

    const unsigned schema = ar.GetObjectSchema();
    if (schema == kUnknownSchema || schema == 0)
        return;
    if (schema > kCurrentSchema) {
        ar.Abort();
        return;
    }

    // Everything is read before anything changes, so a load that fails half
    // way leaves the object as it was.
    State loaded;
    loaded.CopySettings(s);
    loaded.expressionOptions = LoadSet(ar, patternkit::kExpressionOptionCount);
    loaded.matchOptions = LoadSet(ar, patternkit::kMatchOptionCount);
    loaded.directoryRecursion = LoadBool(ar);
    loaded.mergeCopy = LoadBool(ar);
    CString stringToMatch;
    if (schema == kCurrentSchema) {
        loaded.mergeOnlyFirst = LoadBool(ar);
        loaded.splitInputDelete = LoadBool(ar);
        loaded.continueFiles = LoadBool(ar);
        std::uint32_t maximumSplits = 0;
        std::int32_t formatType = 0, localeModel = 0;
        ar >> maximumSplits >> formatType >> localeModel;
        loaded.maximumSplits = maximumSplits;
        // Values outside the enumerations keep the current setting.
        if (patternkit::IsFormatType(formatType))
            loaded.formatType = static_cast<FormatTypes>(formatType);
        if (patternkit::IsLocaleModel(localeModel) && !s.busy)
            loaded.localeModel = static_cast<LocaleModels>(localeModel);
    }
    ar >> loaded.expression >> stringToMatch >> loaded.filesToMatch >> loaded.formatString >> loaded.saveExtension;
    if (schema == kCurrentSchema)
        ar >> loaded.localeDll;

    s.CopySettings(loaded);
    SetStringToMatch(stringToMatch);
    s.ResetParseStates();
}
