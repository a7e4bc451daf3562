#include "HtmlLayout.h"
#include "ParserInput.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>

using documents::Mark;
using documents::ParserInput;
using documents::TextLayout;

namespace {

std::string LaidOut(const std::string& html, bool xml = false)
{
    TextLayout layout(1 << 20);
    EXPECT_EQ(layout.Add(html, xml, "doc"), "") << html;
    return layout.Text();
}

TEST(HtmlLayout, BlocksLinesAndWhiteSpaceAsAReaderShowsThem)
{
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"<p>one\n  two</p><p>three</p>", "one two\n\nthree"},
        {"<div>a</div><div>b</div>x", "a\nb\nx"},
        {"<p>a<br>b<br></p><p>c</p>", "a\nb\n\nc"},
        {"<pre>  x\r\n   y\rz</pre>z", "  x\n   y\nz\n\nz"},
        {"<p>a</p><pre>\r\n\nb</pre><pre><i>\nc</i></pre>", "a\n\n\nb\n\n\nc"},
        {"<head><title>T</title><style>p{}</style></head><script>s()</script><template>t</template>body", "body"},
        {"<ul><li>one</li><li>two <b>bold</b></li></ul>end", "- one\n- two bold\n\nend"},
        {"<ul><li></li><li> <b></b></li></ul><p>x</p>", "x"},
        {"<table><tr><td>1</td><td>2</td></tr><tr><td></td><th>4</th></tr></table>", "1\t2\n\t4"},
        {"<table><tr><td>\n 1 </td><td>\n <a>2</a> </td></tr></table>", "1\t2"},
        {"<p>a</p><hr><p>b</p>", "a\n\n               * * *\n\nb"},
        {"<p>see <img src=x alt=' a  map '> and <img src=y></p>", "see [a map] and"},
        {"<p>caf&eacute; &amp; &lt;b&gt;&nbsp;x</p>", "caf\xC3\xA9 & <b>\xC2\xA0x"},
        // Named references the parser knows only with their ';' and case.
        {"<p>&ldquo;a&rdquo; &amp;lt; &Amp; &ldquo &ldquo.x; &ne;<img alt='&mdash;&zz;&lt;'></p>",
         "\xE2\x80\x9C"
         "a\xE2\x80\x9D &lt; &Amp; &ldquo &ldquo.x; \xE2\x89\xA0[\xE2\x80\x94&zz;<]"},
        {"<p>   </p><div></div><p>only</p>", "only"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaidOut(c.html), c.text) << c.html;
}

TEST(HtmlLayout, EncodingsAreReadAsDeclaredElseUtf8ElseWindows1252)
{
    // Whatever libxml2 lets through, the text is UTF-8 (here after a NUL).
    EXPECT_EQ(LaidOut(std::string("ame=\"\x87:/+x<meta charset=utf-8\0\0>", 31), true), "ame=\"\xE2\x80\xA1:/+x");
    // Declared Latin-1 is read as browsers read it: 0x93 is a quotation mark.
    EXPECT_EQ(LaidOut("<meta charset=iso-8859-1><p>\x93"
                      "caf\xE9\x94</p>"),
              "\xE2\x80\x9C"
              "caf\xC3\xA9\xE2\x80\x9D");
    EXPECT_EQ(LaidOut("<p>caf\xC3\xA9</p>"), "caf\xC3\xA9");
    EXPECT_EQ(LaidOut("<meta charset=iso-8859-1><p>\xC3\xA9</p>"), "\xC3\x83\xC2\xA9") << "the declaration holds";
    EXPECT_EQ(LaidOut("<p>caf\xE9 \x80</p>"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(
        LaidOut("\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><html><body><p>\xC3\xA9</p></body></html>", true),
        "\xC3\xA9");
    // The five bytes Windows-1252 leaves unassigned are C1 controls, and the
    // text after them stays, declared or not.
    EXPECT_EQ(LaidOut("<p>a\x81 \x93q\x94</p><p>b</p>"), "a\xC2\x81 \xE2\x80\x9Cq\xE2\x80\x9D\n\nb");
    EXPECT_EQ(LaidOut("<meta charset=windows-1252><p>\x9D\xE9</p><p>b</p>"), "\xC2\x9D\xC3\xA9\n\nb");
    // What says UTF-8 but is not keeps its UTF-8; the other bytes are Windows-1252.
    EXPECT_EQ(LaidOut("<meta charset=utf-8><p>\xC3\xA9&\x93q\x94</p>"), "\xC3\xA9&\xE2\x80\x9Cq\xE2\x80\x9D");
    // Bytes the declared encoding has no characters for are refused, in
    // the result and not on standard error.
    testing::internal::CaptureStderr();
    TextLayout layout(1 << 20);
    EXPECT_NE(layout.Add("<meta charset=shift_jis><p>a\x81 b</p><p>lost</p>", false, "sjis"), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // XML keeps the line break after <pre> that HTML drops.
    EXPECT_EQ(LaidOut("<html><body><p>a</p><pre>\nb</pre></body></html>", true), "a\n\n\nb");
    // XHTML that is not well-formed (an entity only HTML knows) is read as HTML.
    EXPECT_EQ(LaidOut("<html><body><p>a&nbsp;b</p></body></html>", true), "a\xC2\xA0"
                                                                          "b");
}

TEST(HtmlLayout, DocumentsFollowEachOtherAndTargetsAndHeadingsAreFound)
{
    TextLayout layout(1 << 20);
    ASSERT_EQ(
        layout.Add("<h1>Part <i>One</i></h1><p>text <a id=mid></a>more</p><h2 id=c2>Two</h2><p>x</p>", false, "a.html"),
        "");
    ASSERT_EQ(layout.Add("<html xmlns='http://www.w3.org/1999/xhtml'><body><p><a name='old'/>y</p>"
                         "<h3>  </h3><h4>not a mark</h4><p id='last'/><table><td>z</td></table></body></html>",
                         true, "b.xhtml"),
              "");
    // The first cell of the next document starts its line like any other.
    ASSERT_EQ(layout.Add("<td>w</td>", false, "c.html"), "");
    const std::string& text = layout.Text();
    EXPECT_EQ(text, "Part One\n\ntext more\n\nTwo\n\nx\n\ny\n\nnot a mark\n\nz\n\nw");
    EXPECT_EQ(layout.Headings(), (std::vector<Mark>{{0, "Part One"}, {21, "Two"}}));
    EXPECT_EQ(layout.Target("a.html"), 0u);
    EXPECT_EQ(layout.Target("a.html#mid"), text.find("more"));
    EXPECT_EQ(layout.Target("a.html#c2"), 21u);
    EXPECT_EQ(layout.Target("b.xhtml"), text.find('y'));
    EXPECT_EQ(layout.Target("b.xhtml#old"), text.find('y'));
    EXPECT_EQ(layout.Target("b.xhtml#last"), text.find('z'));
    EXPECT_EQ(layout.Target("a.html#none"), std::nullopt);
}

// Appends `bytes` to `input` from another thread in pieces of 1 to 9
// bytes, slowly enough that the parser takes most of them one by one, and
// finishes it with `problem`.
std::jthread Trickle(ParserInput& input, std::string bytes, unsigned seed, std::string problem = {})
{
    return std::jthread([&input, bytes = std::move(bytes), seed, problem = std::move(problem)] {
        std::mt19937 random(seed);
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t piece = 1 + random() % 9;
            input.Append(std::string_view(bytes).substr(at, piece));
            at += piece;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        input.Finish(problem);
    });
}

TEST(HtmlLayout, BytesReadAsTheyArriveGiveWhatTheyGiveReadWhole)
{
    std::string longer = "<h1 id=t>Title</h1>";
    for (int k = 0; k < 300; ++k)
        longer += "<p>word &ldquo;" + std::to_string(k) + "&rdquo; caf\xC3\xA9</p>";
    const struct {
        std::string bytes;
        bool xml;
    } cases[] = {
        {longer + "<p>&ldquo;a&rdquo; &amp;lt; &Amp; &ldquo &thetasym; x&nbsp;&</p><p>\xE2\x80\x94\xF0\x9F\x98\x80</p>",
         false},
        // Not UTF-8 after a long UTF-8 start: read again as Windows-1252.
        {longer + "<p id=late>caf\xE9 \x93q\x94</p>", false},
        {"<meta charset=windows-1252><p>caf\xE9 &eacute;</p>", false},
        {"\xFF\xFE<\0p\0>\0\xE9\0<\0/\0p\0>\0", false},
        {"<?xml version='1.0' encoding='utf-8'?><html><body><h2 id='x'>X</h2><p>caf\xC3\xA9</p></body></html>", true},
        {"<html><body><p>not XML&nbsp;<br></p>" + longer + "</body></html>", true},
    };
    unsigned seed = 0;
    for (const auto& c : cases) {
        TextLayout whole(1 << 20);
        const std::string expected = whole.Add(c.bytes, c.xml, "d");
        TextLayout streamed(1 << 20);
        ParserInput input;
        const std::jthread feeding = Trickle(input, c.bytes, ++seed);
        EXPECT_EQ(streamed.Add(input, c.xml, "d"), expected) << c.bytes;
        EXPECT_EQ(streamed.Text(), whole.Text()) << c.bytes;
        EXPECT_EQ(streamed.Headings(), whole.Headings()) << c.bytes;
        for (const char* target : {"d", "d#t", "d#late", "d#x"})
            EXPECT_EQ(streamed.Target(target), whole.Target(target)) << target;
    }

    // Bytes that stop short take their document back and say why.
    TextLayout layout(1 << 20);
    ASSERT_EQ(layout.Add("<p>kept</p>", false, "a"), "");
    for (const bool xml : {false, true}) {
        ParserInput input;
        const std::jthread feeding = Trickle(input, "<html><body><p>lost</p></body></html>", ++seed, "damaged");
        EXPECT_EQ(layout.Add(input, xml, "b"), "it cannot be read (damaged)");
        EXPECT_EQ(layout.Text(), "kept");
        EXPECT_EQ(layout.Target("b"), std::nullopt);
    }
}

TEST(HtmlLayout, HostileDocumentsAreBounded)
{
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE l [<!ENTITY a 'aaaaaaaaaa'>";
    for (char e = 'b'; e <= 'j'; ++e)
        laughs += std::string("<!ENTITY ") + e + " '" + std::string(10, '&') + "'>";
    // Each entity refers ten times to the one before it.
    for (char e = 'b'; e <= 'j'; ++e) {
        const std::string ref = std::string("&") + static_cast<char>(e - 1) + ';';
        std::string body;
        for (int k = 0; k < 10; ++k)
            body += ref;
        const std::string declared = std::string("<!ENTITY ") + e + " '" + std::string(10, '&') + "'>";
        laughs.replace(laughs.find(declared), declared.size(), std::string("<!ENTITY ") + e + " '" + body + "'>");
    }
    laughs += "]><html><body><p>&j;</p></body></html>";
    TextLayout layout(1 << 20);
    EXPECT_NE(layout.Add(laughs, true, "l"), "");
    EXPECT_LT(layout.Text().size(), 1000u);

    // Nesting deeper than the parser goes is refused, not cut short.
    std::string deep;
    for (int k = 0; k < 100000; ++k)
        deep += "<div>";
    TextLayout nested(1 << 20);
    EXPECT_NE(nested.Add(deep + "x", false, "n"), "");
    // More text than allowed.
    TextLayout small(10);
    EXPECT_NE(small.Add("<p>0123456789 abc</p>", false, "s"), "");
    EXPECT_LE(small.Text().size(), 10u);
}

}  // namespace
