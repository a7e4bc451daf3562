// Compiling the expression per locale model, with the locale DLL's catalogue.
#include "CatalogueMessages.h"
#include "EngineFlags.h"
#include "RegularExpressionState.h"

#include <mutex>
#include <stdexcept>

namespace {

using patternkit::CatalogueMessages;
using patternkit::LoadStringResources;
using patternkit::ResolveLocaleDll;
using patternkit::ResourceReading;

// The engine's standard-locale traits read the catalogue name from one
// process-wide setting when they are built for a new locale, so setting it and
// imbuing must not interleave between objects. The Win32 stand-in carries its
// catalogue in its locale value and needs no lock; the C model has no
// catalogue.
std::mutex& CppCatalogueLock()
{
    static std::mutex lock;
    return lock;
}

// Thrown when the locale DLL's catalogue cannot be opened.
struct CatalogueError : std::runtime_error {
    explicit CatalogueError(const CString& file) : std::runtime_error(file), fileName(file) {}
    CString fileName;
};

void SetUpCpp(RegularExpression::State& s)
{
    std::lock_guard<std::mutex> guard(CppCatalogueLock());
    if (!s.localeChanged && s.cppCatalogueFor == s.localeDll)
        return;
    s.localeChanged = false;
    // Until the set-up succeeds, the next compile tries again.
    s.cppCatalogueFor.reset();
    const CString resolved = ResolveLocaleDll(s.localeDll, s.dllTexts);
    // The name is read only while the traits are built for the new locale;
    // clearing it afterwards keeps other users of the engine in the process
    // from meeting this object's catalogue.
    boost::cpp_regex_traits<char>::catalog_name(resolved);
    bool opened = true;
    try {
        s.cppExpression.imbue(resolved.empty() ? s.locale : std::locale(s.locale, new CatalogueMessages));
    } catch (const std::runtime_error&) {
        opened = false;
    }
    boost::cpp_regex_traits<char>::catalog_name(std::string());
    if (!opened)
        throw CatalogueError(resolved);
    s.cppCatalogueFor = s.localeDll;
}

void SetUpWin32(RegularExpression::State& s)
{
    if (s.win32CatalogueFor == s.localeDll)
        return;
    s.win32CatalogueFor.reset();
    const CString resolved = ResolveLocaleDll(s.localeDll, s.dllTexts);
    patternkit::Win32RegexTraits::locale_type locale;
    if (!resolved.empty()) {
        locale.catalogue = LoadStringResources(resolved, ResourceReading::strict);
        if (!locale.catalogue)
            throw CatalogueError(resolved);
    }
    s.win32Expression.imbue(locale);
    s.win32CatalogueFor = s.localeDll;
}

// Compiles Expression for the current model; returns the component's code.
int Compile(RegularExpression::State& s, CString& errorText)
{
    const auto flags = patternkit::EngineSyntaxFlags(patternkit::ClassicCompileFlags(s.expressionOptions));
    const char* first = s.expression.data();
    const char* last = first + s.expression.size();
    try {
        switch (s.localeModel) {
        case RegularExpression::localeWin32:
            SetUpWin32(s);
            s.win32Expression.assign(first, last, flags);
            break;
        case RegularExpression::localeC: s.cExpression.assign(first, last, flags); break;
        default:
            SetUpCpp(s);
            s.cppExpression.assign(first, last, flags);
            break;
        }
    } catch (const boost::regex_error& e) {
        errorText = e.what();
        return patternkit::ComponentErrorCode(e.code());
    } catch (const CatalogueError& e) {
        errorText = s.dllTexts.failure.empty() ? CString("Unable to open the Locale DLL ") : s.dllTexts.failure;
        errorText += e.fileName;
        errorText += ".";
        return RegularExpression::errLocaleDll;
    } catch (const std::runtime_error& e) {
        // The engine's own limits while compiling (nesting too deep and the like).
        errorText = e.what();
        return RegularExpression::errUnknown;
    }
    return RegularExpression::errNone;
}

}  // namespace

RegularExpression::ExpressionErrorCode RegularExpression::ParseExpression()
{
    State& s = *m_state;
    patternkit::ParseState& state = s.parse[s.localeModel];
    if (state.parsed)
        return static_cast<ExpressionErrorCode>(state.code);
    if (s.expression.empty())
        return errEmptyExpression;
    CString text;
    const int code = Compile(s, text);
    state.parsed = true;
    state.code = code;
    state.text = std::move(text);
    return static_cast<ExpressionErrorCode>(code);
}

CString RegularExpression::GetExpressionError() const
{
    const State& s = *m_state;
    const patternkit::ParseState& state = s.parse[s.localeModel];
    if (state.parsed)
        return state.code != errNone ? state.text : CString();
    if (s.expression.empty())
        return s.dllTexts.emptyExpression.empty() ? CString("Empty expression") : s.dllTexts.emptyExpression;
    return CString();
}

unsigned RegularExpression::NumberOfSubexpressions()
{
    if (!m_state->parse[m_state->localeModel].parsed)
        ParseExpression();
    return static_cast<const RegularExpression*>(this)->NumberOfSubexpressions();
}

unsigned RegularExpression::NumberOfSubexpressions() const
{
    const State& s = *m_state;
    const patternkit::ParseState& state = s.parse[s.localeModel];
    if (!state.parsed || state.code != errNone)
        return 0;
    switch (s.localeModel) {
    case localeWin32: return static_cast<unsigned>(s.win32Expression.mark_count());
    case localeC: return static_cast<unsigned>(s.cExpression.mark_count());
    default: return static_cast<unsigned>(s.cppExpression.mark_count());
    }
}
