#include <patternkit/RegularExpression.h>

#include <framework/CArchive.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using RE = RegularExpression;
using Bytes = std::vector<unsigned char>;

namespace {

RE Configured()
{
    RE re;
    re.ClearExpressionOptions();
    re.AddExpressionOption(RE::optPerl);
    re.AddExpressionOption(RE::optICase);
    re.AddMatchOption(RE::matchNotBol);
    re.AddMatchOption(RE::matchAny);
    re.SetDirectoryRecursion(true);
    re.SetMergeCopy(true);
    re.SetMergeOnlyFirst(true);
    re.SetSplitInputDelete(true);
    re.SetContinueFiles(false);
    re.SetMaximumSplits(7);
    re.SetFormatType(RE::formatSed);
    re.SetLocaleModel(RE::localeWin32);
    re.SetExpression("^(BOOK|CHAPTER) [IVXLC]+");
    re.SetStringToMatch(std::string(300, 'x')); // long enough for the 16-bit length form
    re.SetFilesToMatch("*.txt");
    re.SetFormatString("\\1");
    re.SetSaveExtension("bak");
    re.SetLocaleDll("strings");
    return re;
}

Bytes Store(const RE& re)
{
    Bytes bytes;
    CArchive ar(bytes, CArchive::store);
    ar.WriteObject(&re);
    return bytes;
}

// Stores the fields of one schema by hand: the archive form is fixed.
Bytes Fields(unsigned schema)
{
    Bytes bytes;
    CArchive ar(bytes, CArchive::store);
    ar << std::uint32_t{2} << std::uint32_t{10} << std::uint32_t{11}; // literal, icase
    ar << std::uint32_t{1} << std::uint32_t{9};                         // matchAny
    ar << std::uint32_t{1} << std::uint32_t{1};                         // recursion, merge copy
    if (schema == 2) {
        ar << std::uint32_t{1} << std::uint32_t{1} << std::uint32_t{0} << std::uint32_t{5};
        ar << std::int32_t{2} << std::int32_t{2};
    }
    ar << CString("a.b") << CString("xa.by") << CString("*.c") << CString("F") << CString("old");
    if (schema == 2)
        ar << CString("loc");
    return bytes;
}

void LoadWithSchema(RE& re, Bytes& bytes, unsigned schema)
{
    CArchive ar(bytes, CArchive::load);
    ar.SetObjectSchema(schema);
    re.Serialize(ar);
}

} // namespace

TEST(Serialization, RuntimeClass)
{
    const CRuntimeClass* cls = RE::GetThisClass();
    EXPECT_STREQ(cls->m_lpszClassName, "RegularExpression");
    EXPECT_EQ(cls->m_wSchema, 2u | VERSIONABLE_SCHEMA);
    EXPECT_EQ(cls, &RE::classRegularExpression);
    std::unique_ptr<CObject> made(cls->CreateObject());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->GetRuntimeClass(), cls);
    EXPECT_TRUE(made->IsKindOf(&CObject::classCObject));
    EXPECT_TRUE(*static_cast<RE*>(made.get()) == RE());
}

TEST(Serialization, SchemaTwoRoundTripsEveryField)
{
    const RE original = Configured();
    Bytes bytes = Store(original);
    CArchive ar(bytes, CArchive::load);
    std::unique_ptr<CObject> loaded(ar.ReadObject(RE::GetThisClass()));
    ASSERT_TRUE(loaded);
    const RE& copy = *static_cast<const RE*>(loaded.get());
    EXPECT_TRUE(copy == original);
    EXPECT_EQ(copy.GetLocaleModel(), RE::localeWin32);
    EXPECT_EQ(copy.GetMaximumSplits(), 7u);
    EXPECT_FALSE(copy.GetContinueFiles());
    EXPECT_TRUE(copy.IsExpressionOption(RE::optPerl));
    EXPECT_TRUE(copy.IsMatchOption(RE::matchAny));
    EXPECT_EQ(copy.GetStringToMatch(), std::string(300, 'x'));
    EXPECT_EQ(ar.Remaining(), 0u);
}

TEST(Serialization, LoadInsertsStoredOptionsWithoutTheConsistencyRules)
{
    RE re;
    Bytes bytes = Fields(2);
    LoadWithSchema(re, bytes, 2);
    // literal + icase without a preset: the rules would not have added one either,
    // but normal's flags are gone because the load starts from empty sets.
    EXPECT_TRUE(re.IsExpressionOption(RE::optLiteral));
    EXPECT_TRUE(re.IsExpressionOption(RE::optICase));
    EXPECT_FALSE(re.IsExpressionOption(RE::optNormal));
    EXPECT_FALSE(re.IsMatchOption(RE::matchDefault));
    EXPECT_TRUE(re.IsMatchOption(RE::matchAny));
    EXPECT_EQ(re.GetLocaleModel(), RE::localeC);
    EXPECT_EQ(re.GetFormatType(), RE::formatPerl);
    EXPECT_EQ(re.GetMaximumSplits(), 5u);
    EXPECT_EQ(re.GetLocaleDll(), "loc");
    EXPECT_TRUE(re.Search()); // "a.b" literally in "xa.by"
}

TEST(Serialization, SchemaOneLeavesTheNewerFieldsAlone)
{
    RE re;
    re.SetMergeOnlyFirst(true);
    re.SetSplitInputDelete(true);
    re.SetContinueFiles(false);
    re.SetMaximumSplits(9);
    re.SetFormatType(RE::formatSed);
    re.SetLocaleModel(RE::localeWin32);
    re.SetLocaleDll("mine");
    Bytes bytes = Fields(1);
    LoadWithSchema(re, bytes, 1);
    EXPECT_EQ(re.GetExpression(), "a.b");
    EXPECT_EQ(re.GetSaveExtension(), "old");
    EXPECT_TRUE(re.GetDirectoryRecursion());
    EXPECT_TRUE(re.GetMergeOnlyFirst());
    EXPECT_TRUE(re.GetSplitInputDelete());
    EXPECT_FALSE(re.GetContinueFiles());
    EXPECT_EQ(re.GetMaximumSplits(), 9u);
    EXPECT_EQ(re.GetFormatType(), RE::formatSed);
    EXPECT_EQ(re.GetLocaleModel(), RE::localeWin32);
    EXPECT_EQ(re.GetLocaleDll(), "mine");
}

TEST(Serialization, NewerOrUnknownSchemasReadNothing)
{
    const RE before = Configured();
    RE re = Configured();
    Bytes bytes = Fields(2);
    {
        CArchive ar(bytes, CArchive::load);
        ar.SetObjectSchema(3);
        re.Serialize(ar);
        EXPECT_TRUE(ar.IsAborted());
        EXPECT_EQ(ar.Remaining(), bytes.size());
    }
    {
        CArchive ar(bytes, CArchive::load); // outside ReadObject: the unknown schema
        re.Serialize(ar);
        EXPECT_FALSE(ar.IsAborted());
        EXPECT_EQ(ar.Remaining(), bytes.size());
    }
    EXPECT_TRUE(re == before);
}

TEST(Serialization, BoolsAreTrueOnlyWhenStoredAsOne)
{
    Bytes bytes = Fields(2);
    bytes[20] = 2; // directory recursion = 2
    RE re;
    LoadWithSchema(re, bytes, 2);
    EXPECT_FALSE(re.GetDirectoryRecursion());
    EXPECT_TRUE(re.GetMergeCopy());
}

TEST(Serialization, DamagedArchivesThrowAndLeaveTheObjectAsItWas)
{
    const RE source = Configured();
    const Bytes object = Store(source);
    Bytes fields;
    {
        CArchive ar(fields, CArchive::store);
        const_cast<RE&>(source).Serialize(ar);
    }
    RE target;
    target.SetExpression("keep");
    target.SetStringToMatch("keep me");
    const RE before = target;
    for (std::size_t cut = 0; cut < object.size(); cut += 5) {
        // Through the framework's object reading ...
        Bytes part(object.begin(), object.begin() + static_cast<std::ptrdiff_t>(cut));
        CArchive ar(part, CArchive::load);
        EXPECT_THROW(delete ar.ReadObject(RE::GetThisClass()), CArchiveException) << cut;
        // ... and straight into an existing object.
        if (cut < fields.size()) {
            Bytes direct(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(cut));
            CArchive in(direct, CArchive::load);
            in.SetObjectSchema(2);
            EXPECT_THROW(target.Serialize(in), CArchiveException) << cut;
        }
        EXPECT_TRUE(target == before);
    }
    EXPECT_EQ(target.Grep(), 1u);

    std::mt19937 random(2600);
    for (int round = 0; round < 300; ++round) {
        Bytes noise(static_cast<std::size_t>(random() % 200));
        for (auto& b : noise)
            b = static_cast<unsigned char>(random());
        CArchive ar(noise, CArchive::load);
        ar.SetObjectSchema(1 + random() % 2);
        try {
            target.Serialize(ar);
        } catch (const CArchiveException&) {
        }
        target.ParseExpression();
        target.Grep();
    }
}
