#include "RegularExpressionState.h"

#include <algorithm>
#include <cstring>

using patternkit::OptionSet;

const CRuntimeClass RegularExpression::classRegularExpression = {
    "RegularExpression", sizeof(RegularExpression), 2 | VERSIONABLE_SCHEMA, &RegularExpression::CreateObject,
    &CObject::classCObject};

namespace {
// Here rather than beside Serialize: this file is linked into every program
// that uses the class, so archives can always load it.
const CClassRegistration registerRegularExpression(&RegularExpression::classRegularExpression);
}  // namespace

void RegularExpression::State::CopySettings(const State& o)
{
    expressionOptions = o.expressionOptions;
    matchOptions = o.matchOptions;
    formatType = o.formatType;
    localeModel = o.localeModel;
    expression = o.expression;
    stringToMatch = o.stringToMatch;
    formatString = o.formatString;
    filesToMatch = o.filesToMatch;
    saveExtension = o.saveExtension;
    localeDll = o.localeDll;
    directoryRecursion = o.directoryRecursion;
    continueFiles = o.continueFiles;
    mergeCopy = o.mergeCopy;
    mergeOnlyFirst = o.mergeOnlyFirst;
    splitInputDelete = o.splitInputDelete;
    maximumSplits = o.maximumSplits;
    dllTexts = o.dllTexts;
    onMatching = o.onMatching;
    onSearching = o.onSearching;
    onGrepping = o.onGrepping;
    onMerging = o.onMerging;
    onGreppingFiles = o.onGreppingFiles;
    onFindingFiles = o.onFindingFiles;
    onChangingFiles = o.onChangingFiles;
}

RegularExpression::RegularExpression() : m_state(std::make_unique<State>()) {}

RegularExpression::RegularExpression(const RegularExpression& other)
    : CObject(other), m_state(std::make_unique<State>())
{
    m_state->CopySettings(*other.m_state);
}

RegularExpression& RegularExpression::operator=(const RegularExpression& other)
{
    if (this != &other) {
        m_state->CopySettings(*other.m_state);
        m_state->ResetParseStates();
    }
    return *this;
}

RegularExpression::~RegularExpression() = default;

bool RegularExpression::operator==(const RegularExpression& other) const
{
    const State& a = *m_state;
    const State& b = *other.m_state;
    return a.expressionOptions == b.expressionOptions && a.matchOptions == b.matchOptions &&
           a.expression == b.expression && *a.stringToMatch == *b.stringToMatch && a.formatString == b.formatString &&
           a.filesToMatch == b.filesToMatch && a.saveExtension == b.saveExtension && a.localeDll == b.localeDll &&
           a.directoryRecursion == b.directoryRecursion && a.mergeCopy == b.mergeCopy &&
           a.mergeOnlyFirst == b.mergeOnlyFirst && a.continueFiles == b.continueFiles &&
           a.splitInputDelete == b.splitInputDelete && a.maximumSplits == b.maximumSplits &&
           a.formatType == b.formatType && a.localeModel == b.localeModel;
}

CObject* RegularExpression::CreateObject()
{
    return new RegularExpression;
}
const CRuntimeClass* RegularExpression::GetThisClass()
{
    return &classRegularExpression;
}
const CRuntimeClass* RegularExpression::GetRuntimeClass() const
{
    return &classRegularExpression;
}

void RegularExpression::SetExpression(const CString& expression)
{
    if (expression != m_state->expression) {
        m_state->expression = expression;
        m_state->ResetParseStates();
    }
}
CString RegularExpression::GetExpression() const
{
    return m_state->expression;
}

void RegularExpression::SetStringToMatch(const CString& text)
{
    m_state->stringToMatch = std::make_shared<const CString>(text.c_str(), std::strlen(text.c_str()));
}
void RegularExpression::SetStringToMatch(CString&& text)
{
    text.resize(std::strlen(text.c_str()));
    m_state->stringToMatch = std::make_shared<const CString>(std::move(text));
}
CString RegularExpression::GetStringToMatch() const
{
    return *m_state->stringToMatch;
}

void RegularExpression::SetFormatString(const CString& format)
{
    m_state->formatString = format;
}
CString RegularExpression::GetFormatString() const
{
    return m_state->formatString;
}
void RegularExpression::SetFilesToMatch(const CString& files)
{
    m_state->filesToMatch = files;
}
CString RegularExpression::GetFilesToMatch() const
{
    return m_state->filesToMatch;
}
void RegularExpression::SetSaveExtension(const CString& extension)
{
    m_state->saveExtension = extension;
}
CString RegularExpression::GetSaveExtension() const
{
    return m_state->saveExtension;
}

void RegularExpression::SetLocaleDll(const CString& name)
{
    if (name != m_state->localeDll) {
        m_state->localeDll = name;
        m_state->ResetParseStates(true, true, false);
    }
}
CString RegularExpression::GetLocaleDll() const
{
    return m_state->localeDll;
}

void RegularExpression::SetFormatType(FormatTypes type)
{
    if (patternkit::IsFormatType(type))
        m_state->formatType = type;
}
RegularExpression::FormatTypes RegularExpression::GetFormatType() const
{
    return m_state->formatType;
}

void RegularExpression::SetLocaleModel(LocaleModels model)
{
    if (!m_state->busy && patternkit::IsLocaleModel(model))
        m_state->localeModel = model;
}
RegularExpression::LocaleModels RegularExpression::GetLocaleModel() const
{
    return m_state->localeModel;
}

void RegularExpression::SetLocale(const std::locale& locale)
{
    m_state->locale = locale;
    m_state->localeChanged = true;
    m_state->ResetParseStates(true, false, false);
}
std::locale RegularExpression::GetLocale() const
{
    return m_state->locale;
}

void RegularExpression::SetDirectoryRecursion(bool on)
{
    m_state->directoryRecursion = on;
}
bool RegularExpression::GetDirectoryRecursion() const
{
    return m_state->directoryRecursion;
}
void RegularExpression::SetContinueFiles(bool on)
{
    m_state->continueFiles = on;
}
bool RegularExpression::GetContinueFiles() const
{
    return m_state->continueFiles;
}
void RegularExpression::SetMergeCopy(bool on)
{
    m_state->mergeCopy = on;
}
bool RegularExpression::GetMergeCopy() const
{
    return m_state->mergeCopy;
}
void RegularExpression::SetMergeOnlyFirst(bool on)
{
    m_state->mergeOnlyFirst = on;
}
bool RegularExpression::GetMergeOnlyFirst() const
{
    return m_state->mergeOnlyFirst;
}
void RegularExpression::SetSplitInputDelete(bool on)
{
    m_state->splitInputDelete = on;
}
bool RegularExpression::GetSplitInputDelete() const
{
    return m_state->splitInputDelete;
}
void RegularExpression::SetMaximumSplits(unsigned long count)
{
    m_state->maximumSplits = std::min<unsigned long>(count, 0xFFFFFFFFul);
}
unsigned long RegularExpression::GetMaximumSplits() const
{
    return m_state->maximumSplits;
}

void RegularExpression::AddExpressionOption(Options option)
{
    if (patternkit::AddExpressionOption(m_state->expressionOptions, option))
        m_state->ResetParseStates();
}

void RegularExpression::DeleteExpressionOption(Options option)
{
    if (patternkit::DeleteExpressionOption(m_state->expressionOptions, option))
        m_state->ResetParseStates();
}

bool RegularExpression::IsExpressionOption(Options option) const
{
    return option >= 0 && option < patternkit::kExpressionOptionCount &&
           patternkit::Has(m_state->expressionOptions, option);
}

void RegularExpression::ClearExpressionOptions()
{
    m_state->expressionOptions = 0;
    m_state->ResetParseStates();
}

void RegularExpression::AddMatchOption(Matches option)
{
    patternkit::AddMatchOption(m_state->matchOptions, option);
}
void RegularExpression::DeleteMatchOption(Matches option)
{
    patternkit::DeleteMatchOption(m_state->matchOptions, option);
}

bool RegularExpression::IsMatchOption(Matches option) const
{
    return option >= 0 && option < patternkit::kMatchOptionCount && patternkit::Has(m_state->matchOptions, option);
}

void RegularExpression::ClearMatchOptions()
{
    m_state->matchOptions = 0;
}

unsigned long RegularExpression::CompileFlags() const
{
    return patternkit::ClassicCompileFlags(m_state->expressionOptions);
}

unsigned long RegularExpression::MatchFlags(bool allowPartial) const
{
    return patternkit::ClassicMatchFlags(m_state->matchOptions, allowPartial);
}

bool RegularExpression::IsBusy() const
{
    return m_state->busy;
}

void RegularExpression::SetOnMatching(MatchingCallback callback)
{
    m_state->onMatching = callback;
}
RegularExpression::MatchingCallback RegularExpression::GetOnMatching() const
{
    return m_state->onMatching;
}
void RegularExpression::SetOnSearching(SearchingCallback callback)
{
    m_state->onSearching = callback;
}
RegularExpression::SearchingCallback RegularExpression::GetOnSearching() const
{
    return m_state->onSearching;
}
void RegularExpression::SetOnGrepping(GreppingCallback callback)
{
    m_state->onGrepping = callback;
}
RegularExpression::GreppingCallback RegularExpression::GetOnGrepping() const
{
    return m_state->onGrepping;
}
void RegularExpression::SetOnMerging(MergingCallback callback)
{
    m_state->onMerging = callback;
}
RegularExpression::MergingCallback RegularExpression::GetOnMerging() const
{
    return m_state->onMerging;
}
void RegularExpression::SetOnGreppingFiles(GreppingFilesCallback callback)
{
    m_state->onGreppingFiles = callback;
}
RegularExpression::GreppingFilesCallback RegularExpression::GetOnGreppingFiles() const
{
    return m_state->onGreppingFiles;
}
void RegularExpression::SetOnFindingFiles(FindingFilesCallback callback)
{
    m_state->onFindingFiles = callback;
}
RegularExpression::FindingFilesCallback RegularExpression::GetOnFindingFiles() const
{
    return m_state->onFindingFiles;
}
void RegularExpression::SetOnChangingFiles(ChangingFilesCallback callback)
{
    m_state->onChangingFiles = callback;
}
RegularExpression::ChangingFilesCallback RegularExpression::GetOnChangingFiles() const
{
    return m_state->onChangingFiles;
}

void RegularExpression::__RemoveAllEventHandlers(const void* receiver)
{
    OnMatching.Unhook(receiver);
    OnSearching.Unhook(receiver);
    OnGrepping.Unhook(receiver);
    OnMerging.Unhook(receiver);
    OnGreppingFiles.Unhook(receiver);
    OnFindFiles.Unhook(receiver);
    OnChangingFiles.Unhook(receiver);
}
