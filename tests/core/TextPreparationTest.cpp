#include "TextPreparation.h"
#include <core/ProgressSink.h>

#include <gtest/gtest.h>

#include <string>

using namespace folivo;

namespace {

std::string Prepare(std::string text, const ConversionSettings& rules)
{
    const std::size_t m = PrepareTextBytes(reinterpret_cast<unsigned char*>(text.data()), text.size(), rules, nullptr);
    text.resize(m);
    return text;
}

ConversionSettings Rules(void (*set)(ConversionSettings&))
{
    ConversionSettings rules;
    set(rules);
    return rules;
}

struct PrepareCase {
    const char* input;
    const char* expected;
};

void ExpectPrepared(std::initializer_list<PrepareCase> cases, const ConversionSettings& rules)
{
    for (const PrepareCase& c : cases)
        EXPECT_EQ(Prepare(c.input, rules), c.expected) << "input: " << c.input;
}

TEST(TextPreparation, HtmlRemoval)
{
    ExpectPrepared({{"a&nbsp;b", "ab"},
                    {"a&NBSP;b", "a&NBSP;b"},
                    {"a&amp;b", "a&amp;b"},
                    {"x<b>y</b>z", "xyz"},
                    {"tail&nbsp", "tail&nbsp"},
                    {"<p\r\nclass=a>t</p>", "t"},
                    // A '<' before anything but a letter, '/', '!' or '?' is text.
                    {"if 1 < 2 then\nthe rest <b>of</b> it", "if 1 < 2 then\nthe rest of it"},
                    {"a<3 <=b <", "a<3 <=b <"},
                    {"<!-- c --><?x?>t</i>", "t"},
                    // A tag that never closes keeps itself and what follows.
                    {"x<y", "x<y"},
                    {"a<b>c <!-- note\nrest <i more", "ac <!-- note\nrest <i more"}},
                   Rules([](ConversionSettings& r) {
                       r.removeHtmlTags = true;
                       r.handheldCharset = false;
                   }));
    std::string text = "kept <b>x</b> <!-- a note that never ends\nmore";
    PreparationDetails details;
    text.resize(PrepareTextBytes(reinterpret_cast<unsigned char*>(text.data()), text.size(),
                                 Rules([](ConversionSettings& r) { r.removeHtmlTags = true; }), nullptr, &details));
    EXPECT_EQ(text, "kept x <!-- a note that never ends\nmore");
    EXPECT_EQ(details.unclosedTag, "<!-- a note that");
    // Without the rule nothing of it is touched.
    EXPECT_EQ(Prepare("x<b>&nbsp;", ConversionSettings{}), "x<b>&nbsp;");
}

// Character references are decoded in the pass that removes tags, and what
// they decode to is text: it never starts a tag or another reference.
TEST(TextPreparation, CharacterReferencesDecodeOnce)
{
    auto rules = Rules([](ConversionSettings& r) { r.removeHtmlTags = r.handheldCharset = true; });
    const std::pair<std::string, std::string> cases[] = {
        {"&lt;b&gt;bold&lt;/b&gt;", "<b>bold</b>"},
        {"x&lt;p>y", "x<p>y"},
        {"&amp;lt;", "&lt;"},
        {"&amp;nbsp;", "&nbsp;"},
        {"a&nbsp;b&#160;z", "ab\xA0z"},
        {"<a title=\"&lt;&gt;\">l</a>&rsquo;", "l\x92"},
        {"&#65;&#x42;&unknown;&amp", "AB&unknown;&amp"},
        {"&#1;&#9;", "\t"},
    };
    for (const auto& [html, text] : cases)
        EXPECT_EQ(Prepare(html, rules), text) << html;
    // Decoded line breaks and tabs follow the rules as written ones do.
    rules.tabsToLineBreaks = true;
    rules.lineBreakRemoval = LineBreakRemoval::RemoveCR;
    EXPECT_EQ(Prepare("a&#13;&#10;b&#9;c", rules), "a\nb\nc");

    std::string text = "&Omega; &alpha;&#x1F600;&mdash;";
    PreparationDetails details;
    details.replaced = 1;
    text.resize(PrepareTextBytes(reinterpret_cast<unsigned char*>(text.data()), text.size(), rules, nullptr, &details));
    EXPECT_EQ(text, "? ??\x97");
    EXPECT_EQ(details.replaced, 4u) << "added to";

    // Either rule alone leaves references as they are.
    rules.handheldCharset = false;
    EXPECT_EQ(Prepare("&lt;&#233;", rules), "&lt;&#233;");
    rules.handheldCharset = true;
    rules.removeHtmlTags = false;
    EXPECT_EQ(Prepare("&lt;&#233;", rules), "&lt;&#233;");
}

TEST(TextPreparation, LowAsciiBytes)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    std::string kept = "\x09\x0A\x0D";
    for (int c = 0x20; c < 256; ++c)
        kept.push_back(static_cast<char>(c));
    EXPECT_EQ(Prepare(all, ConversionSettings{}), kept);
    EXPECT_EQ(Prepare(all, Rules([](ConversionSettings& r) { r.allowLowAscii = true; })), all);
}

TEST(TextPreparation, RemovalWinsOverTranslation)
{
    const std::string text = "a\r\nb";
    const struct {
        LineBreakRemoval removal;
        LineBreakTranslation translation;
        std::string expected;
    } cases[] = {
        {LineBreakRemoval::RemoveCR, LineBreakTranslation::None, "a\nb"},
        {LineBreakRemoval::RemoveLF, LineBreakTranslation::LfToCr, "a\rb"},
        {LineBreakRemoval::None, LineBreakTranslation::CrToLf, "a\n\nb"},
        {LineBreakRemoval::None, LineBreakTranslation::LfToCr, "a\r\rb"},
        {LineBreakRemoval::RemoveCR, LineBreakTranslation::CrToLf, "a\nb"},
        {LineBreakRemoval::None, LineBreakTranslation::None, "a\r\nb"},
    };
    for (const auto& c : cases) {
        ConversionSettings rules;
        rules.lineBreakRemoval = c.removal;
        rules.lineBreakTranslation = c.translation;
        EXPECT_EQ(Prepare(text, rules), c.expected)
            << static_cast<int>(c.removal) << "/" << static_cast<int>(c.translation);
    }
}

TEST(TextPreparation, TabsBecomeBreaksThatRemovalLeavesAlone)
{
    auto rules = Rules([](ConversionSettings& r) {
        r.tabsToLineBreaks = true;
        r.lineBreakRemoval = LineBreakRemoval::RemoveLF;
    });
    EXPECT_EQ(Prepare("a\tb\nc", rules), "a\nbc");
    rules.ignoreSingleLineBreaks = true;
    rules.lineBreakRemoval = LineBreakRemoval::None;
    EXPECT_EQ(Prepare("a\tb", rules), "a b");
}

TEST(TextPreparation, SingleLineBreaksAreJoined)
{
    ExpectPrepared({{"one\r\ntwo", "one  two"},
                    {"one\r\n\r\ntwo", "one\r\n\r\ntwo"},
                    {"one\ntwo", "one two"},
                    {"one\n\ntwo", "one\n\ntwo"},
                    {"one\rtwo", "one two"},
                    {"one\n\rtwo", "one  two"},
                    // The last byte never changes, and a break at the start has nothing to join.
                    {"end\n", "end\n"},
                    {"\nstart", "\nstart"},
                    {"\r\nstart", "\r\nstart"},
                    {"a\r\nb\r\n\r\nc\nd", "a  b\r\n\r\nc d"}},
                   Rules([](ConversionSettings& r) { r.ignoreSingleLineBreaks = true; }));
}

class CountingSink : public ProgressSink {
public:
    void Open(const CString&, int, int, int) override {}
    void StepIt() override { ++steps; }
    void Close() override {}
    int steps = 0;
};

TEST(TextPreparation, ProgressStepsOncePerTwentieth)
{
    const std::pair<std::size_t, int> cases[] = {{0, 0}, {19, 0}, {20, 20}, {1000, 20}, {1019, 20}, {39, 39}};
    for (const auto& [n, expected] : cases) {
        CountingSink sink;
        std::string text(n, 'x');
        {
            ProgressScope scope(&sink, "f", 0, 20, 1);
            PrepareTextBytes(reinterpret_cast<unsigned char*>(text.data()), n, ConversionSettings{}, &scope);
        }
        EXPECT_EQ(sink.steps, expected) << n;
    }
}

}  // namespace
