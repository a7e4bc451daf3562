// Pieces shared by FindFiles, GrepFiles and ChangeFiles.
#pragma once

#include "FileSearchEngine.h"
#include "RegularExpressionState.h"

namespace patternkit {

// Marks the object's file operation as running for its lifetime; Started() is
// false when another one of the same object is running already (from a
// handler), which then must leave the object's state alone.
class FileOperationRun {
public:
    explicit FileOperationRun(FileOperationState& state);
    ~FileOperationRun();
    FileOperationRun(const FileOperationRun&) = delete;
    FileOperationRun& operator=(const FileOperationRun&) = delete;
    bool Started() const { return m_started; }

private:
    FileOperationState& m_state;
    bool m_started;
};

// Sets up the engine from the object's properties and compiles Expression in
// it (perl syntax, icase from optICase); false when the operation ends with 0:
// Expression or FilesToMatch empty, or the expression does not compile.
bool PrepareFileSearch(const RegularExpression::State& s, FileSearchEngine& engine);

// The match options as engine flags, partial matches not allowed.
boost::regex_constants::match_flag_type FileMatchFlags(const RegularExpression::State& s);

// The match being reported by the engine: one entry per mark, no prefix or
// suffix; the texts refer to the engine's copy of the file.
REMatchList FileMatchList(const FileSearchEngine& engine);

// Delivers a file event: the callback pointer when set, else the hooked handlers.
template <class Callback, class Event, class... Args>
void DeliverFileEvent(Callback callback, const Event& event, Args&&... args)
{
    if (callback)
        callback(std::forward<Args>(args)...);
    else
        event(std::forward<Args>(args)...);
}

}  // namespace patternkit
