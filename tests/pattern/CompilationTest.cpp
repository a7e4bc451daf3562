#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

using RE = RegularExpression;
namespace fs = std::filesystem;

namespace {

// A folder of locale DLL stand-ins, removed afterwards.
class LocaleDllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("patternkit-dll-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(name);
            m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    std::string Write(const std::string& name, const std::string& content)
    {
        const fs::path p = m_dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string Base(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

const std::string kGerman = "FOLIVO-STRINGS 1\n"
                            "# test strings\n"
                            "143 l\n"
                            "251 Leerer Ausdruck\n"
                            "252 Locale-DLL nicht ladbar:\\s\n"
                            "208 Klammer fehlt\n";

} // namespace

TEST(Compilation, EmptyExpressionIsReportedEachTime)
{
    RE re;
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);
    EXPECT_EQ(re.GetExpressionError(), "Empty expression");
    EXPECT_EQ(re.NumberOfSubexpressions(), 0u);
}

TEST(Compilation, EngineErrorsComeWithCodeAndText)
{
    RE re;
    re.SetExpression("(abc");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    const CString text = re.GetExpressionError();
    EXPECT_NE(text.find(">>>HERE>>>"), CString::npos) << text;
    // The stored result answers the second call.
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    EXPECT_EQ(re.GetExpressionError(), text);

    struct Case { const char* expression; RE::ExpressionErrorCode code; };
    for (const Case& c : {Case{"[abc", RE::errBracket}, Case{"*a", RE::errBadRepeat}, Case{"\\", RE::errEscape},
                          Case{"a{3,1}", RE::errBadBrace}, Case{"\\1", RE::errSubReg}, Case{"[z-a]", RE::errCharClass},
                          Case{"(?<x", RE::errUnknown}}) {
        re.SetExpression(c.expression);
        EXPECT_EQ(re.ParseExpression(), c.code) << c.expression;
        EXPECT_FALSE(re.GetExpressionError().empty()) << c.expression;
    }
}

TEST(Compilation, ValidExpressionCountsItsSubexpressions)
{
    RE re;
    re.SetExpression("a(b)c");
    EXPECT_EQ(re.NumberOfSubexpressions(), 1u);
    EXPECT_EQ(re.GetExpressionError(), "");
    re.SetExpression("(a)(b(c))");
    const RE& constView = re;
    EXPECT_EQ(constView.NumberOfSubexpressions(), 0u); // const never compiles
    EXPECT_EQ(re.NumberOfSubexpressions(), 3u);
    EXPECT_EQ(constView.NumberOfSubexpressions(), 3u);
}

TEST(Compilation, ChangesRecompileOnlyWhatTheyAffect)
{
    RE re;
    re.SetExpression("(x");
    re.SetStringToMatch("(x");
    EXPECT_FALSE(re.Search());
    re.SetExpression("\\(x");
    EXPECT_TRUE(re.Search());
    // Same text again: nothing to recompile, the result stays.
    re.SetExpression("\\(x");
    EXPECT_EQ(re.ParseExpression(), RE::errNone);
    // Match options do not touch the compiled expression.
    re.AddMatchOption(RE::matchNotBol);
    EXPECT_EQ(re.ParseExpression(), RE::errNone);
}

TEST(Compilation, EachLocaleModelKeepsItsOwnState)
{
    RE re;
    re.SetExpression("a(b");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.GetExpressionError(), ""); // not parsed under this model yet
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeWin32);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    EXPECT_NE(re.GetExpressionError().find("a(b"), CString::npos);
}

TEST(Compilation, Win32ModelClassifiesAndFoldsWindows1252)
{
    RE re;
    re.SetLocaleModel(RE::localeWin32);
    re.ClearExpressionOptions();
    re.AddExpressionOption(RE::optPerl);
    re.AddExpressionOption(RE::optICase);
    re.SetExpression("\xC9t\xC9");  // ÉtÉ
    re.SetStringToMatch("l'\xE9t\xE9"); // l'été
    EXPECT_TRUE(re.Search());
    re.SetExpression("\x8A\x9F"); // ŠŸ against šÿ
    re.SetStringToMatch("\x9A\xFF");
    EXPECT_TRUE(re.Search());
    re.DeleteExpressionOption(RE::optICase);
    EXPECT_FALSE(re.Search());

    auto finds = [&](const char* expression, const char* text) {
        re.SetExpression(expression);
        re.SetStringToMatch(text);
        return re.Search();
    };
    EXPECT_TRUE(finds("^[[:alpha:]]+$", "Stra\xDF" "e"));     // ß
    EXPECT_TRUE(finds("^\\w+$", "\x8A" "koda\xEF"));          // Škodaï
    EXPECT_TRUE(finds("^[[:upper:]]$", "\x9F"));              // Ÿ
    EXPECT_TRUE(finds("^[[:lower:]]$", "\xB5"));              // µ
    EXPECT_FALSE(finds("[[:alpha:]]", "\xD7\xF7"));           // × ÷
    EXPECT_TRUE(finds("^a\\sb$", "a\xA0" "b"));               // no-break space
    EXPECT_FALSE(finds("\\d", "\xB2"));                       // ² is no digit
    EXPECT_TRUE(finds("^[[=e=]]+$", "e\xE9\xE8\xCA"));        // e é è Ê
    EXPECT_TRUE(finds("\\u\\l", "\xC0\xE0"));                 // Àà

    // The C model under the process's "C" locale knows none of these letters.
    re.SetLocaleModel(RE::localeC);
    EXPECT_FALSE(finds("^[[:alpha:]]$", "\xE9"));
    re.SetLocaleModel(RE::localeWin32);
    EXPECT_TRUE(finds("^[[:alpha:]]$", "\xE9"));
    EXPECT_TRUE(finds("^[[:ALPHA:]]$", "\xE9"));
    re.SetExpression("[[:nonsense:]]");
    EXPECT_EQ(re.ParseExpression(), RE::errCharClass);
}

TEST(Compilation, Win32ModelCaseConversionInFormats)
{
    RE re;
    re.SetLocaleModel(RE::localeWin32);
    re.SetExpression("\\w+");
    re.SetStringToMatch("\xE9t\xE9");
    re.SetFormatString("\\U$0");
    re.SetMergeCopy(true);
    CString out;
    re.Merge(out);
    EXPECT_EQ(out, "\xC9T\xC9");
}

TEST_F(LocaleDllTest, TextsComeFromTheDllGivenWithExtension)
{
    const std::string file = Write("german.res", kGerman);
    RE re;
    re.SetLocaleDll(file);
    re.SetExpression("(abc");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    // The engine's own messages come from the same file.
    EXPECT_EQ(re.GetExpressionError().rfind("Klammer fehlt", 0), 0u) << re.GetExpressionError();
    re.SetExpression("");
    EXPECT_EQ(re.GetExpressionError(), "Leerer Ausdruck");

    // A second object with the same DLL gets the same texts.
    RE other;
    other.SetLocaleDll(file);
    other.SetExpression("(abc");
    other.ParseExpression();
    EXPECT_EQ(other.GetExpressionError().rfind("Klammer fehlt", 0), 0u);
    other.SetExpression("");
    EXPECT_EQ(other.GetExpressionError(), "Leerer Ausdruck");
}

TEST_F(LocaleDllTest, ResolutionTriesLanguageAndCountryThenLanguageThenDll)
{
    ::setenv("LANG", "de_AT.UTF-8", 1);
    auto emptyText = [&](const std::string& base) {
        RE re;
        re.SetLocaleModel(RE::localeWin32);
        re.SetLocaleDll(base);
        re.SetExpression("x");
        EXPECT_EQ(re.ParseExpression(), RE::errNone);
        re.SetExpression("");
        return re.GetExpressionError();
    };
    Write("texts.dll", "FOLIVO-STRINGS 1\n251 from dll\n");
    EXPECT_EQ(emptyText(Base("texts")), "from dll");
    Write("texts.de", "FOLIVO-STRINGS 1\n251 from de\n");
    EXPECT_EQ(emptyText(Base("texts")), "from de");
    Write("texts.deA", "FOLIVO-STRINGS 1\n251 from deA\n");
    EXPECT_EQ(emptyText(Base("texts")), "from deA");
    // A name with an extension is tried alone.
    EXPECT_EQ(emptyText(Base("texts.missing")), "Empty expression");
    // Something that is no string table does not load.
    Write("plain.dll", "just text\n251 nope\n");
    EXPECT_EQ(emptyText(Base("plain")), "Empty expression");
}

TEST_F(LocaleDllTest, DamagedCatalogueGivesLocaleDllError)
{
    const std::string file = Write("broken.res", "FOLIVO-STRINGS 1\n252 Kaputt:\\s\nnot a string line\n");
    for (RE::LocaleModels model : {RE::localeCpp, RE::localeWin32}) {
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(file);
        re.SetExpression("abc");
        re.SetStringToMatch("abc");
        EXPECT_EQ(re.ParseExpression(), RE::errLocaleDll) << model;
        EXPECT_EQ(re.GetExpressionError(), "Kaputt: " + file + ".");
        EXPECT_FALSE(re.Search());
        // Once the DLL is dropped, the expression compiles again.
        re.SetLocaleDll("");
        EXPECT_EQ(re.ParseExpression(), RE::errNone) << model;
        EXPECT_TRUE(re.Search());
    }
    // The C model takes no catalogue.
    RE c;
    c.SetLocaleModel(RE::localeC);
    c.SetLocaleDll(file);
    c.SetExpression("abc");
    EXPECT_EQ(c.ParseExpression(), RE::errNone);
}

TEST_F(LocaleDllTest, DefaultSeparatorUsesTheDllsWhitespaceLetter)
{
    // The DLL's class letter is "d" here, so the default separator is \d+.
    const std::string file = Write("digits.res", "FOLIVO-STRINGS 1\n143 d\n");
    RE re;
    re.SetLocaleDll(file);
    re.SetExpression("x");
    ASSERT_EQ(re.ParseExpression(), RE::errNone);
    re.SetExpression("");
    re.SetStringToMatch("a1b22c");
    CStringArray parts;
    EXPECT_EQ(re.Split(parts), 3u);
    EXPECT_EQ(parts, (CStringArray{"a", "b", "c"}));
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.Split(parts), 1u);
}
