#include <framework/CArchive.h>

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<unsigned char>;

// A small serializable class: schema 3, versionable or not as the test needs.
class Point : public CObject {
public:
    static CObject* Create() { return new Point; }
    static const CRuntimeClass classPoint;
    const CRuntimeClass* GetRuntimeClass() const override { return &classPoint; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << x << name;
        } else {
            loadedSchema = ar.GetObjectSchema();
            ar >> x >> name;
        }
    }
    std::int32_t x = 0;
    CString name;
    unsigned int loadedSchema = 0;
};
const CRuntimeClass Point::classPoint = {"Point", sizeof(Point), 3 | VERSIONABLE_SCHEMA, &Point::Create,
                                         &CObject::classCObject};
const CClassRegistration pointRegistration(&Point::classPoint);

class Strict : public Point {
public:
    static CObject* Create() { return new Strict; }
    static const CRuntimeClass classStrict;
    const CRuntimeClass* GetRuntimeClass() const override { return &classStrict; }
};
const CRuntimeClass Strict::classStrict = {"Strict", sizeof(Strict), 1, &Strict::Create, &Point::classPoint};
const CClassRegistration strictRegistration(&Strict::classStrict);

Bytes Store(const CString& s)
{
    Bytes b;
    CArchive ar(b, CArchive::store);
    ar << s;
    return b;
}

CString Load(Bytes b)
{
    CArchive ar(b, CArchive::load);
    CString s;
    ar >> s;
    EXPECT_EQ(ar.Remaining(), 0u);
    return s;
}

TEST(Archive, IntegersAreLittleEndian)
{
    Bytes b;
    CArchive ar(b, CArchive::store);
    ar << std::uint32_t{0x11223344} << std::int32_t{-2} << std::uint16_t{0xABCD} << std::uint8_t{7};
    EXPECT_EQ(b, (Bytes{0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 0xCD, 0xAB, 7}));

    CArchive in(b, CArchive::load);
    std::uint32_t u;
    std::int32_t i;
    std::uint16_t w;
    std::uint8_t c;
    in >> u >> i >> w >> c;
    EXPECT_EQ(u, 0x11223344u);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(w, 0xABCD);
    EXPECT_EQ(c, 7);
}

TEST(Archive, StringLengthPrefixesAtEveryBoundary)
{
    const struct {
        std::size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {0xFE, {0xFE}},
        {0xFF, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        const CString s(c.length, 'x');
        const Bytes b = Store(s);
        ASSERT_EQ(b.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), b.begin())) << c.length;
        EXPECT_EQ(Load(b), s) << c.length;
    }
    // Every byte value survives, NUL and 8-bit characters included.
    CString all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_EQ(Load(Store(all)), all);
}

TEST(Archive, WideStringIsReadAsAnsi)
{
    // "a€é" then U+4E2D and a surrogate pair: each of the last two becomes one '?'.
    Bytes b = {0xFF, 0xFE, 0xFF, 6, 'a', 0, 0xAC, 0x20, 0xE9, 0, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE};
    EXPECT_EQ(Load(b), CString("a\x80\xE9??"));
    // The long form of the wide prefix.
    Bytes longForm = {0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'z', 0};
    EXPECT_EQ(Load(longForm), "z");
}

TEST(Archive, ForgedOrTruncatedInputThrowsWithoutAllocating)
{
    const Bytes bad[] = {
        {},                                          // nothing at all
        {0x05, 'a', 'b'},                            // shorter than its prefix says
        {0xFF, 0x00},                                // prefix cut inside the 16-bit length
        {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F},  // 2 GB claimed
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // 64-bit length
        {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0},                  // wide, too long
    };
    for (const Bytes& b : bad) {
        Bytes copy = b;
        CArchive ar(copy, CArchive::load);
        CString s = "kept";
        try {
            ar >> s;
            ADD_FAILURE() << "no exception for input of " << b.size() << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
        EXPECT_EQ(s, "kept");
    }
}

TEST(Archive, ObjectsCarryClassAndSchema)
{
    Point p;
    p.x = 42;
    p.name = "here";
    Bytes b;
    {
        CArchive ar(b, CArchive::store);
        ar.WriteObject(&p);
        ar.WriteObject(&p);  // a second reference is a tag, not a copy
        ar.WriteObject(nullptr);
    }
    const Bytes header = {0xFF, 0xFF, 3, 0, 5, 0, 'P', 'o', 'i', 'n', 't'};
    ASSERT_TRUE(std::equal(header.begin(), header.end(), b.begin()));

    CArchive in(b, CArchive::load);
    std::unique_ptr<CObject> first(in.ReadObject(&Point::classPoint));
    auto* loaded = dynamic_cast<Point*>(first.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->x, 42);
    EXPECT_EQ(loaded->name, "here");
    EXPECT_EQ(loaded->loadedSchema, 3u);
    EXPECT_EQ(in.ReadObject(nullptr), first.get());
    EXPECT_EQ(in.ReadObject(nullptr), nullptr);
    EXPECT_EQ(in.GetObjectSchema(), 0xFFFFFFFFu);
}

TEST(Archive, SchemaAndClassChecks)
{
    // A versionable class accepts another schema and is told which one.
    Bytes older = {0xFF, 0xFF, 1, 0, 5, 0, 'P', 'o', 'i', 'n', 't', 9, 0, 0, 0, 0};
    CArchive a(older, CArchive::load);
    std::unique_ptr<CObject> obj(a.ReadObject(&Point::classPoint));
    EXPECT_EQ(static_cast<Point*>(obj.get())->loadedSchema, 1u);

    auto causeOf = [](Bytes b, const CRuntimeClass* expected) {
        CArchive ar(b, CArchive::load);
        try {
            delete ar.ReadObject(expected);
        } catch (const CArchiveException& e) {
            return e.m_cause;
        }
        return CArchiveException::none;
    };
    // A class without the versionable bit refuses any other schema.
    EXPECT_EQ(causeOf({0xFF, 0xFF, 2, 0, 6, 0, 'S', 't', 'r', 'i', 'c', 't', 0, 0, 0, 0, 0}, nullptr),
              CArchiveException::badSchema);
    EXPECT_EQ(causeOf({0xFF, 0xFF, 1, 0, 4, 0, 'N', 'o', 'p', 'e'}, nullptr), CArchiveException::badClass);
    EXPECT_EQ(causeOf({0xFF, 0xFF, 3, 0, 5, 0, 'P', 'o', 'i', 'n', 't', 0, 0, 0, 0, 0}, &Strict::classStrict),
              CArchiveException::badClass);
    EXPECT_EQ(causeOf({0x05, 0x80}, nullptr), CArchiveException::badIndex);
    EXPECT_EQ(causeOf({0x03, 0x00}, nullptr), CArchiveException::badIndex);
    EXPECT_EQ(causeOf({0xFF, 0xFF, 3, 0, 200, 0}, nullptr), CArchiveException::badClass);
}

TEST(Archive, AbortStopsEveryLaterAccess)
{
    Bytes b = {1, 2, 3, 4};
    CArchive ar(b, CArchive::load);
    ar.Abort();
    std::uint32_t v = 0;
    EXPECT_THROW(ar >> v, CArchiveException);
    EXPECT_TRUE(ar.IsAborted());
}

TEST(Archive, RandomBytesNeverCrash)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        Bytes b(rng() % 64);
        for (auto& c : b)
            c = static_cast<unsigned char>(rng());
        if (round % 3 == 0 && b.size() > 8) {
            const Bytes header = {0xFF, 0xFF, 3, 0, 5, 0, 'P', 'o', 'i', 'n', 't'};
            b.insert(b.begin(), header.begin(), header.end());
        }
        CArchive ar(b, CArchive::load);
        try {
            std::unique_ptr<CObject> obj(ar.ReadObject(nullptr));
        } catch (const CArchiveException&) {
        }
    }
}

}  // namespace
