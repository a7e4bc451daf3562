#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestEnvironment.h"

using RE = RegularExpression;
namespace fs = std::filesystem;

TEST(Compilation, ErrorCodesTextsAndStoredResults)
{
    RE re;
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);
    EXPECT_EQ(re.GetExpressionError(), "Empty expression");

    re.SetExpression("(abc");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    const CString text = re.GetExpressionError();
    EXPECT_NE(text.find("(abc>>>HERE>>>"), CString::npos) << text;
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    EXPECT_EQ(re.NumberOfSubexpressions(), 0u);

    const std::pair<const char*, RE::ExpressionErrorCode> cases[] = {
        {"[abc", RE::errBracket}, {"*a", RE::errBadRepeat},    {"\\", RE::errEscape},    {"a{3,1}", RE::errBadBrace},
        {"\\1", RE::errSubReg},   {"[z-a]", RE::errCharClass}, {"(?<x", RE::errUnknown}, {"a{2", RE::errNone}};
    for (const auto& [expression, code] : cases) {
        re.SetExpression(expression);
        EXPECT_EQ(re.ParseExpression(), code) << expression;
        EXPECT_EQ(re.GetExpressionError().empty(), code == RE::errNone) << expression;
    }
}

TEST(Compilation, SubexpressionsAndModelsEachWithTheirOwnState)
{
    RE re;
    re.SetExpression("(a)(b(c))");
    const RE& constView = re;
    EXPECT_EQ(constView.NumberOfSubexpressions(), 0u);  // the const overload never compiles
    EXPECT_EQ(re.NumberOfSubexpressions(), 3u);
    re.SetExpression("a(b)c");
    EXPECT_EQ(re.NumberOfSubexpressions(), 1u);

    re.SetExpression("a(b");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.GetExpressionError(), "");  // not parsed under this model yet
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeWin32);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    EXPECT_NE(re.GetExpressionError().find("a(b"), CString::npos);
}

TEST(Compilation, Win32ModelClassifiesAndFoldsWindows1252)
{
    struct Case {
        const char* expression;
        const char* text;
        bool icase;
        bool found;
    };
    const Case cases[] = {
        {"\xC9t\xC9", "l'\xE9t\xE9", true, true},  // ÉtÉ ~ été
        {"\x8A\x9F", "\x9A\xFF", true, true},      // ŠŸ ~ šÿ
        {"\x8A\x9F", "\x9A\xFF", false, false},
        {"\xD7", "\xF7", true, false},  // × and ÷ are no case pair
        {"^[[:alpha:]]+$",
         "Stra\xDF"
         "e",
         false, true},  // ß
        {"^\\w+$",
         "\x8A"
         "koda\xEF",
         false, true},                           // Škodaï
        {"^[[:upper:]]$", "\x9F", false, true},  // Ÿ
        {"^[[:lower:]]$", "\xB5", false, true},  // µ
        {"^[[:ALPHA:]]$", "\xE9", false, true},
        {"[[:alpha:]]", "\xD7\xF7", false, false},
        {"^a\\sb$",
         "a\xA0"
         "b",
         false, true},                                 // no-break space
        {"\\d", "\xB2", false, false},                 // ² is no digit
        {"^[[=e=]]+$", "e\xE9\xE8\xCA", false, true},  // e é è Ê
    };
    for (const Case& c : cases) {
        RE re;
        re.SetLocaleModel(RE::localeWin32);
        if (c.icase)
            re.AddExpressionOption(RE::optICase);
        re.SetExpression(c.expression);
        re.SetStringToMatch(c.text);
        EXPECT_EQ(re.Search(), c.found) << c.expression;
        // The C model under the process's "C" locale knows no 8-bit letters.
        if (std::string(c.expression) == "^[[:ALPHA:]]$") {
            re.SetLocaleModel(RE::localeC);
            EXPECT_FALSE(re.Search());
        }
    }
    RE upper;
    upper.SetLocaleModel(RE::localeWin32);
    upper.SetExpression("\\w+");
    upper.SetStringToMatch("\xE9t\xE9");
    upper.SetFormatString("\\U$0");
    CString out;
    upper.Merge(out);
    EXPECT_EQ(out, "\xC9T\xC9");
}

namespace {

// A folder of locale DLL stand-ins and a clean locale environment.
class LocaleDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("patternkit-dll-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Write(const std::string& name, const std::string& content)
    {
        std::ofstream(m_dir / name, std::ios::binary) << content;
        return (m_dir / name).string();
    }
    std::string Base(const std::string& name) const { return (m_dir / name).string(); }
    // The empty-expression text an object gets after compiling with this DLL.
    static CString EmptyText(const std::string& dll, RE::LocaleModels model = RE::localeWin32)
    {
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(dll);
        re.SetExpression("x");
        EXPECT_EQ(re.ParseExpression(), RE::errNone);
        re.SetExpression("");
        return re.GetExpressionError();
    }
    fs::path m_dir;
    const ScopedEnv m_lcAll{"LC_ALL", std::nullopt}, m_lcMessages{"LC_MESSAGES", std::nullopt},
        m_lang{"LANG", std::nullopt};
};

}  // namespace

TEST_F(LocaleDll, TextsAndEngineMessagesComeFromTheDll)
{
    const std::string file = Write("german.res", "FOLIVO-STRINGS 1\n# test strings\n251 Leerer Ausdruck\n"
                                                 "208 Klammer fehlt\n");
    for (RE::LocaleModels model : {RE::localeCpp, RE::localeWin32}) {
        // Two objects with the same DLL both get its texts.
        for (int object = 0; object < 2; ++object) {
            RE re;
            re.SetLocaleModel(model);
            re.SetLocaleDll(file);
            re.SetExpression("(abc");
            EXPECT_EQ(re.ParseExpression(), RE::errParen);
            EXPECT_EQ(re.GetExpressionError().rfind("Klammer fehlt", 0), 0u) << re.GetExpressionError();
            re.SetExpression("");
            EXPECT_EQ(re.GetExpressionError(), "Leerer Ausdruck");
        }
    }
}

TEST_F(LocaleDll, ResolutionTriesLanguageAndCountryThenLanguageThenDll)
{
    {
        const ScopedEnv lang("LANG", "de_AT.UTF-8");
        Write("texts.dll", "FOLIVO-STRINGS 1\n251 from dll\n");
        EXPECT_EQ(EmptyText(Base("texts")), "from dll");
        Write("texts.de", "FOLIVO-STRINGS 1\n251 from de\n");
        EXPECT_EQ(EmptyText(Base("texts")), "from de");
        Write("texts.deA", "FOLIVO-STRINGS 1\n251 from deA\n");
        EXPECT_EQ(EmptyText(Base("texts"), RE::localeCpp), "from deA");
        // A name with an extension is tried alone; a file that is no string table does not load.
        EXPECT_EQ(EmptyText(Base("texts.missing")), "Empty expression");
        Write("plain.dll", "just text\n251 nope\n");
        EXPECT_EQ(EmptyText(Base("plain")), "Empty expression");
    }

    // Switching to a DLL that does not load drops the texts of the previous one.
    RE re;
    re.SetLocaleDll(Base("texts.dll"));
    re.SetExpression("x");
    re.ParseExpression();
    re.SetLocaleDll(Base("gone.dll"));
    re.ParseExpression();
    re.SetExpression("");
    EXPECT_EQ(re.GetExpressionError(), "Empty expression");
}

TEST_F(LocaleDll, DamagedCatalogueGivesLocaleDllError)
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
        re.SetLocaleDll("");
        EXPECT_EQ(re.ParseExpression(), RE::errNone) << model;
        EXPECT_TRUE(re.Search());
    }
    RE c;  // the C model takes no catalogue
    c.SetLocaleModel(RE::localeC);
    c.SetLocaleDll(file);
    c.SetExpression("abc");
    EXPECT_EQ(c.ParseExpression(), RE::errNone);
}

TEST_F(LocaleDll, DefaultSeparatorUsesTheDllsClassLetter)
{
    RE re;
    re.SetLocaleDll(Write("digits.res", "FOLIVO-STRINGS 1\n143 d\n"));
    re.SetExpression("x");
    ASSERT_EQ(re.ParseExpression(), RE::errNone);
    re.SetExpression("");
    re.SetStringToMatch("a1b22c");
    CStringArray parts;
    EXPECT_EQ(re.Split(parts), 3u);  // \d+ separates
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.Split(parts), 1u);  // \s+ again
}
