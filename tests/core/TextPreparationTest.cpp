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

TEST(TextPreparation, HtmlRemoval)
{
    const auto html = Rules([](ConversionSettings& r) { r.removeHtmlTags = true; });
    EXPECT_EQ(Prepare("a&nbsp;b", html), "ab");
    EXPECT_EQ(Prepare("a&NBSP;b", html), "a&NBSP;b");
    EXPECT_EQ(Prepare("a&amp;b", html), "a&amp;b");
    EXPECT_EQ(Prepare("x<b>y</b>z", html), "xyz");
    EXPECT_EQ(Prepare("x<y", html), "x");
    EXPECT_EQ(Prepare("tail&nbsp", html), "tail&nbsp");
    EXPECT_EQ(Prepare("<p\r\nclass=a>t</p>", html), "t");
    // Without the rule nothing of it is touched.
    EXPECT_EQ(Prepare("x<b>&nbsp;", ConversionSettings{}), "x<b>&nbsp;");
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
    const auto join = Rules([](ConversionSettings& r) { r.ignoreSingleLineBreaks = true; });
    EXPECT_EQ(Prepare("one\r\ntwo", join), "one  two");
    EXPECT_EQ(Prepare("one\r\n\r\ntwo", join), "one\r\n\r\ntwo");
    EXPECT_EQ(Prepare("one\ntwo", join), "one two");
    EXPECT_EQ(Prepare("one\n\ntwo", join), "one\n\ntwo");
    EXPECT_EQ(Prepare("one\rtwo", join), "one two");
    EXPECT_EQ(Prepare("one\n\rtwo", join), "one  two");
    // The last byte never changes, and a break at the start has nothing to join.
    EXPECT_EQ(Prepare("end\n", join), "end\n");
    EXPECT_EQ(Prepare("\nstart", join), "\nstart");
    EXPECT_EQ(Prepare("\r\nstart", join), "\r\nstart");
    EXPECT_EQ(Prepare("a\r\nb\r\n\r\nc\nd", join), "a  b\r\n\r\nc d");
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
