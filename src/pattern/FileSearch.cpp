// FindFiles and GrepFiles, and what all three file operations share.
#include "ActiveObjectStack.h"
#include "EngineFlags.h"
#include "FileOperations.h"

namespace patternkit {

FileOperationRun::FileOperationRun(FileOperationState& state) : m_state(state), m_started(!state.running)
{
    m_state.running = true;
}

FileOperationRun::~FileOperationRun()
{
    if (m_started)
        m_state.running = false;
}

bool PrepareFileSearch(const RegularExpression::State& s, FileSearchEngine& engine)
{
    if (s.expression.empty() || s.filesToMatch.empty())
        return false;
    engine.SetFilesContinue(s.continueFiles);
    if (s.localeModel == RegularExpression::localeWin32)
        engine.SetLocalizationModel(FileSearchEngine::modelWin32);
    else if (s.localeModel == RegularExpression::localeC)
        engine.SetLocalizationModel(FileSearchEngine::modelC);
    return engine.SetExpression(s.expression.c_str(), Has(s.expressionOptions, RegularExpression::optICase)) == 0;
}

boost::regex_constants::match_flag_type FileMatchFlags(const RegularExpression::State& s)
{
    return EngineMatchFlags(ClassicMatchFlags(s.matchOptions, false));
}

REMatchList FileMatchList(const FileSearchEngine& engine)
{
    REMatchList list(engine.Marks());
    for (unsigned i = 0; i < list.size(); ++i) {
        list[i].position = engine.Position(i);
        if (list[i].position >= 0)
            list[i].text = REMatchText::Refer(engine[i].data(), engine[i].size());
    }
    return list;
}

namespace {

bool FoundFile(const char* fileName)
{
    const ActiveObject& top = TopActiveObject();
    const CString name(fileName);
    bool more = true;
    DeliverFileEvent(top.state->onFindingFiles, top.object->OnFindFiles, top.object, name, more);
    return more;
}

bool GreppedFile(const char* fileName, const FileSearchEngine& engine)
{
    const ActiveObject& top = TopActiveObject();
    const CString name(fileName);
    const REMatchList list = FileMatchList(engine);
    bool more = true;
    DeliverFileEvent(top.state->onGreppingFiles, top.object->OnGreppingFiles, top.object, name, list, engine.Line(),
                     more);
    return more;
}

// FindFiles and GrepFiles: one file operation per object at a time, the
// problem list emptied, the engine set up, and the object on the thread's
// active stack while the engine's `search` runs with `callback`; afterwards
// the engine's `errors` become the object's problem list.
template <class Callback>
unsigned SearchFiles(RegularExpression* object, RegularExpression::State& s, FileSearchProblemList& problems,
                     unsigned (FileSearchEngine::*search)(Callback, const char*, bool,
                                                          boost::regex_constants::match_flag_type),
                     Callback callback, const FileSearchProblemList& (FileSearchEngine::*errors)() const)
{
    FileOperationRun run(s.files);
    if (!run.Started())
        return 0;
    problems.clear();
    FileSearchEngine engine;
    if (!PrepareFileSearch(s, engine))
        return 0;
    object->ParseExpression();
    unsigned count = 0;
    {
        ActiveObjectScope active(object, &s);
        count = (engine.*search)(callback, s.filesToMatch.c_str(), s.directoryRecursion, FileMatchFlags(s));
    }
    problems = (engine.*errors)();
    return count;
}

}  // namespace
}  // namespace patternkit

using patternkit::FileSearchEngine;

unsigned RegularExpression::FindFiles()
{
    State& s = *m_state;
    return patternkit::SearchFiles(this, s, s.files.findFilesErrors, &FileSearchEngine::FindFiles,
                                   &patternkit::FoundFile, &FileSearchEngine::FilesContinueErrorsFind);
}

unsigned RegularExpression::GrepFiles()
{
    State& s = *m_state;
    return patternkit::SearchFiles(this, s, s.files.grepFilesErrors, &FileSearchEngine::GrepFiles,
                                   &patternkit::GreppedFile, &FileSearchEngine::FilesContinueErrorsGrep);
}

const FileSearchProblemList* RegularExpression::GetFindFilesErrors() const
{
    return m_state->files.findFilesErrors.empty() ? nullptr : &m_state->files.findFilesErrors;
}

const FileSearchProblemList* RegularExpression::GetGrepFilesErrors() const
{
    return m_state->files.grepFilesErrors.empty() ? nullptr : &m_state->files.grepFilesErrors;
}

const FileChangeProblemList* RegularExpression::GetChangeFilesErrors() const
{
    return m_state->files.changeFilesErrors.empty() ? nullptr : &m_state->files.changeFilesErrors;
}
