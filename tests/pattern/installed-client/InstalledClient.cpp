// A client of the installed library: compiled against the installed headers
// and linked with the installed libpatternkit.so only.
#include <patternkit/RegularExpression.h>

#include <framework/CArchive.h>

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

int main()
{
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::printf("failed: %s\n", what);
            ++failures;
        }
    };

    RegularExpression re;
    re.ClearExpressionOptions();
    re.AddExpressionOption(RegularExpression::optPerl);
    re.AddExpressionOption(RegularExpression::optICase);
    check(re.CompileFlags() == 0x6507, "compile flags");
    re.SetLocaleModel(RegularExpression::localeWin32);
    re.SetExpression("^chapter (\\d+)");
    re.SetStringToMatch("Intro\nCHAPTER 1\ntext\nChapter 2\n");
    std::vector<int> positions;
    std::vector<CString> numbers;
    re.OnGrepping.Hook(&positions, [&](RegularExpression*, const REMatchList& m, unsigned, unsigned, bool&) {
        positions.push_back(m[0].position);
        // Match texts serve as strings under the client's standard too.
        const std::string_view whole = m[0].text;
        check(whole.size() == m[0].text.size() && m[0].text != "" && m[0].text.find(' ') == 7, "match text");
        numbers.push_back("#" + m[1].text + m[0].text.substr(7, 1));
    });
    check(re.Grep() == 2, "grep count");
    re.__RemoveAllEventHandlers(&positions);
    check(positions == std::vector<int>{6, 21}, "grep positions");
    check(numbers == std::vector<CString>{"#1 ", "#2 "}, "match texts");

    re.SetExpression("(");
    check(re.ParseExpression() == RegularExpression::errParen, "error code");
    check(!re.GetExpressionError().empty(), "error text");

    std::vector<unsigned char> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        ar.WriteObject(&re);
    }
    CArchive in(bytes, CArchive::load);
    std::unique_ptr<CObject> loaded(in.ReadObject(RegularExpression::GetThisClass()));
    check(loaded && *static_cast<RegularExpression*>(loaded.get()) == re, "archive round trip");

    std::vector<unsigned char> junk{1, 2, 3};
    CArchive bad(junk, CArchive::load);
    bool thrown = false;
    try {
        delete bad.ReadObject(RegularExpression::GetThisClass());
    } catch (const CArchiveException&) {
        thrown = true;
    }
    check(thrown, "archive exception crosses the library boundary");

    if (failures == 0)
        std::printf("installed client ok\n");
    return failures == 0 ? 0 : 1;
}
