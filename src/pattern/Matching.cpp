// Match, MatchAll, Search, Grep, Merge, Format and Split.
#include "EngineFlags.h"
#include "RegularExpressionState.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace {

using patternkit::MatchResults;
using State = RegularExpression::State;

// Runs f with the compiled expression of the current locale model. The copy
// shares the compiled program and keeps it alive, so a handler that changes
// and recompiles the expression cannot pull it from under a running search.
template <class F>
decltype(auto) WithExpression(const State& s, F&& f)
{
    switch (s.localeModel) {
    case RegularExpression::localeWin32: return f(patternkit::Win32Expression(s.win32Expression));
    case RegularExpression::localeC: return f(patternkit::CExpression(s.cExpression));
    default: return f(patternkit::CppExpression(s.cppExpression));
    }
}

// Sets a flag for the lifetime of a scope (busy, the current results).
template <class T>
class ScopedValue {
public:
    ScopedValue(T& target, T value) : m_target(target), m_saved(target) { m_target = value; }
    ~ScopedValue() { m_target = m_saved; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& m_target;
    T m_saved;
};

// Counts in blocks of byte-wide counters, which compilers turn into vector
// code: a plain loop over a book costs as much as the search itself.
std::size_t CountLineFeeds(const char* first, const char* last)
{
    constexpr std::ptrdiff_t kLanes = 16, kRounds = 255;
    std::size_t n = 0;
    while (last - first >= kLanes) {
        const std::ptrdiff_t rounds = std::min((last - first) / kLanes, kRounds);
        unsigned char lanes[kLanes] = {};
        for (std::ptrdiff_t r = 0; r < rounds; ++r, first += kLanes) {
            for (std::ptrdiff_t i = 0; i < kLanes; ++i)
                lanes[i] = static_cast<unsigned char>(lanes[i] + (first[i] == '\n'));
        }
        for (unsigned char lane : lanes)
            n += lane;
    }
    for (; first != last; ++first)
        n += (*first == '\n');
    return n;
}

// The line of a match as the engine counts it (1 for the first) and the
// offset of that line's first character. Successive calls must move forward:
// each counts only from where the previous one stopped.
class LineCounter {
public:
    explicit LineCounter(const char* base) : m_base(base), m_counted(base), m_lineStart(base) {}

    void MoveTo(const char* position)
    {
        for (const char* p = position; p != m_counted; --p) {
            if (p[-1] == '\n') {
                m_lineStart = p;
                break;
            }
        }
        m_lines += CountLineFeeds(m_counted, position);
        m_counted = position;
    }
    unsigned Line() const { return static_cast<unsigned>(m_lines + 1); }
    unsigned LineStart() const { return static_cast<unsigned>(m_lineStart - m_base); }

private:
    const char* m_base;
    const char* m_counted;
    const char* m_lineStart;
    std::size_t m_lines = 0;
};

REMatch Entry(const boost::sub_match<const char*>& sub, const char* base, bool tookPart)
{
    REMatch e;
    if (tookPart) {
        e.text = REMatchText::Refer(sub.first, static_cast<std::size_t>(sub.second - sub.first));
        e.position = static_cast<int>(sub.first - base);
    }
    return e;
}

// Entry 0 the whole match (also a partial one), the sub-expressions, the
// prefix and the suffix.
REMatchList BuildMatchList(const MatchResults& m, const char* base)
{
    REMatchList list;
    list.reserve(m.size() + 2);
    for (std::size_t i = 0; i < m.size(); ++i)
        list.push_back(Entry(m[i], base, i == 0 || m[i].matched));
    list.push_back(Entry(m.prefix(), base, m.prefix().matched));
    list.push_back(Entry(m.suffix(), base, m.suffix().matched));
    return list;
}

// Delivers an event to the callback pointer when set, else to the hooked
// handlers; notes while it runs so that an exception from a handler is told
// apart from the engine's own.
template <class Callback, class Event, class... Args>
void Deliver(bool& inHandler, Callback callback, const Event& event, Args&&... args)
{
    inHandler = true;
    if (callback)
        callback(std::forward<Args>(args)...);
    else
        event(std::forward<Args>(args)...);
    inHandler = false;
}

boost::regex_constants::match_flag_type EngineMatchFlags(const State& s, bool allowPartial)
{
    return patternkit::EngineMatchFlags(patternkit::ClassicMatchFlags(s.matchOptions, allowPartial));
}

}  // namespace

namespace {

enum class MatchKind { match, matchAll, search };

// The text is held by value: a handler that sets a new StringToMatch must
// not free the text the results point into.
bool RunMatch(RegularExpression* self, State& s, MatchKind kind, const std::shared_ptr<const CString> text)
{
    const char* first = text->data();
    const char* last = first + text->size();
    MatchResults m;
    bool inHandler = false;
    try {
        ScopedValue<bool> busy(s.busy, true);
        const auto flags = EngineMatchFlags(s, true);
        const bool found = WithExpression(s, [&](const auto& re) {
            return kind == MatchKind::matchAll ? boost::regex_match(first, last, m, re, flags)
                                               : boost::regex_search(first, last, m, re, flags);
        });
        if (!found || (kind == MatchKind::match && m[0].first != first))
            return false;
        ScopedValue<const MatchResults*> current(s.currentMatch, &m);
        const REMatchList list = BuildMatchList(m, first);
        LineCounter lines(first);
        lines.MoveTo(m[0].first);
        if (kind == MatchKind::search)
            Deliver(inHandler, s.onSearching, self->OnSearching, self, list, lines.Line(), lines.LineStart());
        else
            Deliver(inHandler, s.onMatching, self->OnMatching, self, list, lines.Line(), lines.LineStart());
        return true;
    } catch (const std::runtime_error&) {
        if (inHandler)
            throw;
        return false;
    }
}

}  // namespace

bool RegularExpression::Match()
{
    if (ParseExpression() != errNone)
        return false;
    return RunMatch(this, *m_state, MatchKind::match, m_state->stringToMatch);
}

bool RegularExpression::MatchAll()
{
    if (ParseExpression() != errNone)
        return false;
    return RunMatch(this, *m_state, MatchKind::matchAll, m_state->stringToMatch);
}

bool RegularExpression::Search()
{
    if (ParseExpression() != errNone)
        return false;
    return RunMatch(this, *m_state, MatchKind::search, m_state->stringToMatch);
}

unsigned RegularExpression::Grep()
{
    m_state->grepGaveUp = false;
    if (m_state->stringToMatch->empty() || ParseExpression() != errNone)
        return 0;
    // Holding the text keeps it whole even if a handler sets another one.
    const std::shared_ptr<const CString> text = m_state->stringToMatch;
    return GrepRange(text->data(), text->data() + text->size());
}

unsigned RegularExpression::Grep(std::string_view text)
{
    m_state->grepGaveUp = false;
    if (text.empty() || ParseExpression() != errNone)
        return 0;
    return GrepRange(text.data(), text.data() + text.size());
}

unsigned RegularExpression::GrepRange(const char* first, const char* last)
{
    State& s = *m_state;
    const GreppingCallback callback = s.onGrepping;
    LineCounter lines(first);
    bool inHandler = false;
    try {
        ScopedValue<bool> busy(s.busy, true);
        const auto flags = EngineMatchFlags(s, true);
        auto predicate = [&](const MatchResults& m) {
            ScopedValue<const MatchResults*> current(s.currentGrep, &m);
            const REMatchList list = BuildMatchList(m, first);
            lines.MoveTo(m[0].first);
            bool more = true;
            Deliver(inHandler, callback, OnGrepping, this, list, lines.Line(), lines.LineStart(), more);
            return more;
        };
        return WithExpression(s, [&](const auto& re) { return boost::regex_grep(predicate, first, last, re, flags); });
    } catch (const std::runtime_error&) {
        if (inHandler)
            throw;
        s.grepGaveUp = true;
        return 0;
    }
}

bool RegularExpression::GrepGaveUp() const
{
    return m_state->grepGaveUp;
}

void RegularExpression::Merge(CString& out)
{
    out.clear();
    State& s = *m_state;
    if (s.formatString.empty() || s.stringToMatch->empty() || ParseExpression() != errNone)
        return;
    const std::shared_ptr<const CString> text = s.stringToMatch;
    const char* first = text->data();
    const char* last = first + text->size();
    // Buffer and position are the run's own, so a Merge started from a
    // handler cannot disturb this one.
    CString buffer;
    std::size_t position = 0;
    LineCounter lines(first);
    bool inHandler = false;
    try {
        ScopedValue<bool> busy(s.busy, true);
        const auto flags = EngineMatchFlags(s, false);
        auto predicate = [&](const MatchResults& m) {
            ScopedValue<const MatchResults*> current(s.currentGrep, &m);
            const REMatchList list = BuildMatchList(m, first);
            const std::size_t at = static_cast<std::size_t>(m[0].first - first);
            if (s.mergeCopy && position < at) {
                buffer.append(first + position, at - position);
                position = at;
            }
            lines.MoveTo(m[0].first);
            bool more = true;
            Deliver(inHandler, s.onMerging, OnMerging, this, list, lines.Line(), lines.LineStart(), more);
            if (more) {
                CString expansion;
                Format(expansion);
                buffer += expansion;
                if (s.mergeCopy)
                    position = at + static_cast<std::size_t>(m[0].length());
            }
            if (s.mergeOnlyFirst)
                more = false;
            return more;
        };
        WithExpression(s, [&](const auto& re) { return boost::regex_grep(predicate, first, last, re, flags); });
    } catch (const std::runtime_error&) {
        if (inHandler)
            throw;
        return;
    }
    if (s.mergeCopy && position < text->size())
        buffer.append(first + position, text->size() - position);
    out = std::move(buffer);
}

void RegularExpression::Format(CString& out) const
{
    out.clear();
    State& s = *m_state;
    if (s.formatString.empty())
        return;
    const MatchResults* m = s.currentGrep ? s.currentGrep : s.currentMatch;
    if (!m)
        return;
    const auto flags = patternkit::EngineFormatFlags(s.formatType);
    try {
        WithExpression(s, [&](const auto& re) { m->format(std::back_inserter(out), s.formatString, flags, re); });
    } catch (const std::runtime_error&) {
        out.clear();
    }
}

unsigned RegularExpression::Split(CStringArray& out)
{
    out.clear();
    State& s = *m_state;
    if (s.stringToMatch->empty())
        return 0;
    const ExpressionErrorCode parsed = ParseExpression();
    if (parsed != errNone && parsed != errEmptyExpression)
        return 0;
    const bool defaultSeparator = parsed == errEmptyExpression;
    if (defaultSeparator) {
        const bool localised = s.localeModel != localeC && !s.dllTexts.whitespaceLetter.empty();
        s.expression = "\\" + (localised ? s.dllTexts.whitespaceLetter : CString("s")) + "+";
        s.ResetParseStates();
        if (ParseExpression() != errNone) {
            s.expression.clear();
            s.ResetParseStates();
            return 0;
        }
    }
    CString rest = *s.stringToMatch;
    CStringArray segments;
    bool failed = false;
    try {
        const auto flags = EngineMatchFlags(s, false);
        const std::size_t limit = s.maximumSplits == 0 ? UINT_MAX : static_cast<std::size_t>(s.maximumSplits);
        WithExpression(s, [&](const auto& re) {
            return boost::regex_split(std::back_inserter(segments), rest, re, flags, limit);
        });
    } catch (const std::runtime_error&) {
        failed = true;
    }
    if (defaultSeparator) {
        s.expression.clear();
        s.ResetParseStates();
    }
    if (failed)
        return 0;
    if (s.splitInputDelete)
        s.stringToMatch = std::make_shared<const CString>(std::move(rest));
    out = std::move(segments);
    return static_cast<unsigned>(out.size());
}
