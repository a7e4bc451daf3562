// ChangeFiles: search and replace inside files, each file rewritten once.
#include "ActiveObjectStack.h"
#include "EngineFlags.h"
#include "FileOperations.h"
#include "FileWriteOut.h"

#include <stdexcept>

#include <sys/stat.h>

namespace patternkit {
namespace {

using State = RegularExpression::State;

// The matched text with every match of the object's compiled expression
// inside it replaced by its expansion of FormatString. The expression is
// copied, so handlers that change or recompile the object do not affect the
// run.
std::function<CString(const CString&)> MakeReplacer(const State& s)
{
    const auto flags = FileMatchFlags(s) | EngineFormatFlags(s.formatType);
    auto replacer = [&](const auto& re) -> std::function<CString(const CString&)> {
        return [re, format = s.formatString, flags](const CString& text) {
            return boost::regex_merge(text, re, format, flags);
        };
    };
    switch (s.localeModel) {
    case RegularExpression::localeWin32: return replacer(s.win32Expression);
    case RegularExpression::localeC: return replacer(s.cExpression);
    default: return replacer(s.cppExpression);
    }
}

void ResetCurrentFile(FileOperationState& f)
{
    f.currentFile.clear();
    f.pendingChanges.clear();
}

// Files the run has taken up, by what their names lead to; false when the
// file behind `name` was taken up before.
bool TakeUp(FileOperationState& f, const CString& name)
{
    struct stat info;
    return stat(name.c_str(), &info) != 0 || f.filesTakenUp.insert({info.st_dev, info.st_ino}).second;
}

void WriteOutCurrentFile(const State& s, FileOperationState& f)
{
    if (!f.currentFile.empty()) {
        f.changeCount += WriteOutChanges(f.currentFile, f.pendingChanges, s.saveExtension, f.changeFilesErrors);
        // A rewrite by rename leaves the file under a new inode, which its
        // other names, met later, lead to.
        TakeUp(f, f.currentFile);
    }
    ResetCurrentFile(f);
}

// Whether ChangeFiles may change the file: not a backup, not read-only, and
// not taken up under another name before. Asked when the file comes up, before
// the previous one is written out: the search has read this one already, and
// the write-out of a link to it would make that text stale.
bool MayChange(const State& s, FileOperationState& f, const CString& name)
{
    return !HasExtension(name, s.saveExtension) && !IsReadOnly(name) && TakeUp(f, name);
}

bool ChangingFile(const char* fileName, const FileSearchEngine& engine)
{
    const ActiveObject& top = TopActiveObject();
    State& s = *top.state;
    FileOperationState& f = s.files;
    if (!s.continueFiles && !f.changeFilesErrors.empty())
        return false;
    // The checks and the write-out of the previous file come once per file,
    // not once per match.
    const bool current = f.currentFile == fileName;
    CString next;
    const CString& name = current ? f.currentFile : (next = fileName);
    if (!current) {
        const bool allowed = MayChange(s, f, name);
        WriteOutCurrentFile(s, f);
        if (!allowed)
            return false;
    }
    const REMatchList list = FileMatchList(engine);
    bool more = true;
    DeliverFileEvent(s.onChangingFiles, top.object->OnChangingFiles, top.object, name, list, engine.Line(), more);
    if (!more)
        return false;
    const CString matched(engine[0]);
    CString replacement;
    try {
        replacement = f.replace(matched);
    } catch (const std::runtime_error&) {
        // The expression's matching limits: this match and the rest of the
        // file stay as they are.
        return false;
    }
    f.currentFile = name;
    f.pendingChanges.push_back({engine.Position(0), matched, std::move(replacement)});
    return true;
}

// The run's state, set up for its lifetime and cleared however it ends (a
// handler's exception leaves the files unchanged).
class ChangeRun {
public:
    explicit ChangeRun(State& s) : m_state(s), m_busy(s.busy)
    {
        s.files.changeCount = 0;
        s.files.filesTakenUp.clear();
        ResetCurrentFile(s.files);
        s.files.replace = MakeReplacer(s);
        s.busy = true;
    }
    ~ChangeRun()
    {
        m_state.busy = m_busy;
        m_state.files.replace = nullptr;
        m_state.files.filesTakenUp.clear();
        ResetCurrentFile(m_state.files);
    }
    ChangeRun(const ChangeRun&) = delete;
    ChangeRun& operator=(const ChangeRun&) = delete;

    void EngineDone() { m_state.busy = m_busy; }

private:
    State& m_state;
    bool m_busy;
};

}  // namespace
}  // namespace patternkit

unsigned RegularExpression::ChangeFiles()
{
    State& s = *m_state;
    patternkit::FileOperationState& f = s.files;
    patternkit::FileOperationRun running(f);
    if (!running.Started())
        return 0;
    f.changeFilesErrors.clear();
    patternkit::FileSearchEngine engine;
    if (s.formatString.empty() || !patternkit::PrepareFileSearch(s, engine))
        return 0;
    // The replacements need the object's own expression.
    if (ParseExpression() != errNone)
        return 0;
    patternkit::ChangeRun run(s);
    {
        patternkit::ActiveObjectScope active(this, &s);
        engine.GrepFiles(&patternkit::ChangingFile, s.filesToMatch.c_str(), s.directoryRecursion,
                         patternkit::FileMatchFlags(s));
    }
    run.EngineDone();
    if (s.continueFiles || f.changeFilesErrors.empty())
        patternkit::WriteOutCurrentFile(s, f);
    for (const FileSearchProblem& p : engine.FilesContinueErrorsGrep())
        f.changeFilesErrors.push_back({p.fileName, FileChangeProblem::kindCannotOpen, 0, CString(), p.errorCode});
    return f.changeCount;
}
