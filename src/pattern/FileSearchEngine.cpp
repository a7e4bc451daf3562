#include "FileSearchEngine.h"

#include "FileEnumeration.h"

#include <platform/Files.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <stdexcept>
#include <variant>

namespace patternkit {
namespace {

using CppRegex = boost::basic_regex<char, boost::regex_traits<char, boost::cpp_regex_traits<char>>>;
using CRegex = boost::basic_regex<char, boost::c_regex_traits<char>>;
using Win32Regex = boost::basic_regex<char, Win32RegexTraits>;
using Results = boost::match_results<const char*>;

// Reads a whole file; a problem when it cannot. Match positions are 32-bit,
// so a larger file cannot be searched.
std::optional<FileSearchProblem> ReadWhole(const std::string& path, std::string& text)
{
    const platform::FileError error = platform::ReadWholeFile(path, text, INT_MAX);
    if (!error)
        return std::nullopt;
    const bool tooLarge = error.code == EFBIG || error.code == ENOMEM;
    return FileSearchProblem{path, tooLarge ? FileSearchProblem::kindCannotSearch : FileSearchProblem::kindCannotRead,
                             error.code};
}

}  // namespace

struct FileSearchEngine::Compiled {
    std::variant<std::monostate, CppRegex, CRegex, Win32Regex> expression;
};

FileSearchEngine::FileSearchEngine() : m_compiled(std::make_unique<Compiled>()) {}
FileSearchEngine::~FileSearchEngine() = default;

int FileSearchEngine::SetExpression(const char* expression, bool icase)
{
    const auto flags =
        icase ? boost::regex_constants::perl | boost::regex_constants::icase : boost::regex_constants::perl;
    auto& e = m_compiled->expression;
    try {
        switch (m_model) {
        case modelC: e.emplace<CRegex>(expression, flags); break;
        case modelWin32: e.emplace<Win32Regex>(expression, flags); break;
        default: e.emplace<CppRegex>(expression, flags); break;
        }
    } catch (const boost::regex_error& error) {
        e = std::monostate();
        return error.code() == 0 ? boost::regex_constants::error_unknown : error.code();
    } catch (const std::runtime_error&) {
        e = std::monostate();
        return boost::regex_constants::error_unknown;
    }
    return 0;
}

template <class F>
decltype(auto) FileSearchEngine::WithExpression(F&& f) const
{
    return std::visit(
        [&](const auto& re) -> unsigned {
            if constexpr (std::is_same_v<std::decay_t<decltype(re)>, std::monostate>)
                return 0;
            else
                return f(re);
        },
        m_compiled->expression);
}

template <class Search>
unsigned FileSearchEngine::SearchFiles(const char* files, bool recurse, FileSearchProblemList& problems, Search search)
{
    problems.clear();
    if (std::holds_alternative<std::monostate>(m_compiled->expression))
        return 0;
    unsigned count = 0;
    std::string text;
    auto record = [&](FileSearchProblem problem) {
        problems.push_back(std::move(problem));
        return m_continue;
    };
    FileVisitor visitor;
    visitor.folderProblem = [&](const std::string& folder, int error) {
        return record({folder, FileSearchProblem::kindCannotList, error});
    };
    visitor.file = [&](const std::string& path) {
        if (auto problem = ReadWhole(path, text))
            return record(std::move(*problem));
        m_base = text.data();
        try {
            bool more = true;
            count += search(path, text, more);
            return more;
        } catch (const std::runtime_error&) {
            if (m_inCallback)
                throw;
            return record({path, FileSearchProblem::kindCannotSearch, 0});
        } catch (const std::bad_alloc&) {
            if (m_inCallback)
                throw;
            return record({path, FileSearchProblem::kindCannotSearch, ENOMEM});
        }
    };
    EnumerateFiles(files, recurse, visitor);
    m_match = nullptr;
    m_base = nullptr;
    return count;
}

unsigned FileSearchEngine::FindFiles(FindFilesCallback callback, const char* files, bool recurse,
                                     boost::regex_constants::match_flag_type flags)
{
    return SearchFiles(files, recurse, m_findErrors, [&](const std::string& path, const std::string& text, bool& more) {
        const char* first = text.data();
        const bool found = WithExpression(
            [&](const auto& re) -> unsigned { return boost::regex_search(first, first + text.size(), re, flags); });
        if (!found)
            return 0u;
        m_inCallback = true;
        more = callback(path.c_str());
        m_inCallback = false;
        return 1u;
    });
}

unsigned FileSearchEngine::GrepFiles(GrepFilesCallback callback, const char* files, bool recurse,
                                     boost::regex_constants::match_flag_type flags)
{
    return SearchFiles(files, recurse, m_grepErrors, [&](const std::string& path, const std::string& text, bool&) {
        const char* first = text.data();
        const char* counted = first;
        m_line = 1;
        auto predicate = [&](const Results& m) {
            m_line += static_cast<unsigned>(std::count(counted, m[0].first, '\n'));
            counted = m[0].first;
            m_match = &m;
            m_inCallback = true;
            const bool more = callback(path.c_str(), *this);
            m_inCallback = false;
            m_match = nullptr;
            return more;
        };
        return WithExpression([&](const auto& re) -> unsigned {
            return boost::regex_grep(predicate, first, first + text.size(), re, flags);
        });
    });
}

unsigned FileSearchEngine::Marks() const
{
    return m_match ? static_cast<unsigned>(m_match->size()) : 0;
}

std::string_view FileSearchEngine::operator[](unsigned i) const
{
    if (!m_match || i >= m_match->size() || !(*m_match)[i].matched)
        return {};
    const auto& sub = (*m_match)[i];
    return std::string_view(sub.first, static_cast<std::size_t>(sub.second - sub.first));
}

int FileSearchEngine::Position(unsigned i) const
{
    if (!m_match || i >= m_match->size() || !(*m_match)[i].matched)
        return -1;
    return static_cast<int>((*m_match)[i].first - m_base);
}

}  // namespace patternkit
