#include <patternkit/RegularExpression.h>

#include <framework/CArchive.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using RE = RegularExpression;
using Bytes = std::vector<unsigned char>;

namespace {

RE Configured()
{
    RE re;
    re.ClearExpressionOptions();
    re.AddExpressionOption(RE::optPerl);
    re.AddMatchOption(RE::matchAny);
    re.SetMergeOnlyFirst(true);
    re.SetContinueFiles(false);
    re.SetMaximumSplits(7);
    re.SetFormatType(RE::formatSed);
    re.SetLocaleModel(RE::localeWin32);
    re.SetExpression("^(BOOK|CHAPTER) [IVXLC]+");
    re.SetStringToMatch(std::string(300, 'x'));  // the 16-bit length form
    re.SetSaveExtension("bak");
    re.SetLocaleDll("strings");
    return re;
}

// The fields of one schema, written by hand: the archive form is fixed.
Bytes Fields(unsigned schema)
{
    Bytes bytes;
    CArchive ar(bytes, CArchive::store);
    ar << std::uint32_t{2} << std::uint32_t{10} << std::uint32_t{11};  // literal, icase
    ar << std::uint32_t{1} << std::uint32_t{9};                        // matchAny
    ar << std::uint32_t{2} << std::uint32_t{1};                        // recursion (2 is not true), merge copy
    if (schema == 2)
        ar << std::uint32_t{1} << std::uint32_t{1} << std::uint32_t{0} << std::uint32_t{5} << std::int32_t{2}
           << std::int32_t{2};
    ar << CString("a.b") << CString("xa.by") << CString("*.c") << CString("F") << CString("old");
    if (schema == 2)
        ar << CString("loc");
    return bytes;
}

void Load(RE& re, Bytes& bytes, unsigned schema)
{
    CArchive ar(bytes, CArchive::load);
    ar.SetObjectSchema(schema);
    re.Serialize(ar);
}

}  // namespace

TEST(Serialization, RuntimeClassAndSchemaTwoRoundTrip)
{
    const CRuntimeClass* cls = RE::GetThisClass();
    EXPECT_STREQ(cls->m_lpszClassName, "RegularExpression");
    EXPECT_EQ(cls->m_wSchema, 2u | VERSIONABLE_SCHEMA);
    std::unique_ptr<CObject> made(cls->CreateObject());
    ASSERT_TRUE(made && made->GetRuntimeClass() == cls);

    const RE original = Configured();
    Bytes bytes;
    {
        CArchive ar(bytes, CArchive::store);
        ar.WriteObject(&original);
    }
    CArchive ar(bytes, CArchive::load);
    std::unique_ptr<CObject> loaded(ar.ReadObject(cls));
    ASSERT_TRUE(loaded);
    const RE& copy = *static_cast<const RE*>(loaded.get());
    EXPECT_TRUE(copy == original);
    EXPECT_EQ(copy.GetLocaleModel(), RE::localeWin32);
    EXPECT_EQ(copy.GetStringToMatch(), std::string(300, 'x'));
    EXPECT_EQ(ar.Remaining(), 0u);
}

TEST(Serialization, SchemaTwoFieldsInsertedWithoutTheConsistencyRules)
{
    RE re;
    Bytes bytes = Fields(2);
    Load(re, bytes, 2);
    EXPECT_TRUE(re.IsExpressionOption(RE::optLiteral));
    EXPECT_FALSE(re.IsExpressionOption(RE::optNormal));  // sets start empty
    EXPECT_FALSE(re.IsMatchOption(RE::matchDefault));
    EXPECT_FALSE(re.GetDirectoryRecursion());
    EXPECT_TRUE(re.GetMergeCopy());
    EXPECT_EQ(re.GetLocaleModel(), RE::localeC);
    EXPECT_EQ(re.GetFormatType(), RE::formatPerl);
    EXPECT_EQ(re.GetMaximumSplits(), 5u);
    EXPECT_EQ(re.GetLocaleDll(), "loc");
    EXPECT_TRUE(re.Search());  // "a.b" literally in "xa.by"
}

TEST(Serialization, SchemaOneLeavesTheNewerFieldsAlone)
{
    RE re = Configured();
    Bytes bytes = Fields(1);
    Load(re, bytes, 1);
    EXPECT_EQ(re.GetExpression(), "a.b");
    EXPECT_EQ(re.GetSaveExtension(), "old");
    EXPECT_TRUE(re.GetMergeOnlyFirst());
    EXPECT_FALSE(re.GetContinueFiles());
    EXPECT_EQ(re.GetMaximumSplits(), 7u);
    EXPECT_EQ(re.GetFormatType(), RE::formatSed);
    EXPECT_EQ(re.GetLocaleModel(), RE::localeWin32);
    EXPECT_EQ(re.GetLocaleDll(), "strings");
}

TEST(Serialization, NewerSchemaAbortsAndUnknownSchemaReadsNothing)
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
        CArchive ar(bytes, CArchive::load);  // outside ReadObject the schema is unknown
        re.Serialize(ar);
        EXPECT_FALSE(ar.IsAborted());
        EXPECT_EQ(ar.Remaining(), bytes.size());
    }
    EXPECT_TRUE(re == before);
}

TEST(Serialization, DamagedArchivesThrowAndLeaveTheObjectAsItWas)
{
    RE source = Configured();
    Bytes object, fields;
    {
        CArchive ar(object, CArchive::store);
        ar.WriteObject(&source);
        CArchive plain(fields, CArchive::store);
        source.Serialize(plain);
    }
    RE target;
    target.SetExpression("keep");
    target.SetStringToMatch("keep me");
    const RE before = target;
    for (std::size_t cut = 0; cut < object.size(); cut += 5) {
        Bytes part(object.begin(), object.begin() + static_cast<std::ptrdiff_t>(cut));
        CArchive ar(part, CArchive::load);
        EXPECT_THROW(delete ar.ReadObject(RE::GetThisClass()), CArchiveException) << cut;
        if (cut < fields.size()) {
            Bytes direct(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_THROW(Load(target, direct, 2), CArchiveException) << cut;
        }
        EXPECT_TRUE(target == before);
    }
    EXPECT_EQ(target.Grep(), 1u);
}
