// Where the conversion job shows its progress. The desktop program shows a
// progress window; the command line draws a bar or nothing.
#pragma once

#include <framework/CString.h>

namespace folivo {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // A progress display labelled `label` appears, its bar at `lower`.
    virtual void Open(const CString& label, int lower, int upper, int step) = 0;
    // The bar advances by one step.
    virtual void StepIt() = 0;
    virtual void Close() = 0;
};

// Keeps a progress display open for one step of the job; a null sink shows nothing.
class ProgressScope {
public:
    ProgressScope(ProgressSink* sink, const CString& label, int lower, int upper, int step) : m_sink(sink)
    {
        if (m_sink)
            m_sink->Open(label, lower, upper, step);
    }
    ~ProgressScope()
    {
        if (m_sink)
            m_sink->Close();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void StepIt()
    {
        if (m_sink)
            m_sink->StepIt();
    }

private:
    ProgressSink* m_sink;
};

}  // namespace folivo
