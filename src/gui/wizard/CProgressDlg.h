// The small window that shows a conversion's progress. While it is up, the
// window it belongs to is disabled, so that no second run can start. It is
// painted before the work goes on, and the bar keeps the program's windows
// painted by handling pending events each time it moves.
#pragma once

#include <core/ProgressSink.h>

#include <QDialog>
#include <QPointer>

class QEventLoop;
class QLabel;
class QProgressBar;

class CProgressDlg : public QDialog, public folivo::ProgressSink {
public:
    enum ControlId { kLabel = 1087, kProgressBar = 1086 };

    // `owner`: the window to disable while the progress shows (its top-level
    // window); null for none.
    explicit CProgressDlg(QWidget* owner = nullptr);
    ~CProgressDlg() override;

    void SetRange(int lower, int upper);
    void SetStep(int step);

    void Open(const CString& label, int lower, int upper, int step) override;
    void StepIt() override;
    void Close() override;

protected:
    // Escape does not close the window: only the job does.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Handles events until the window system shows the window, for a short
    // while at most.
    void WaitUntilExposed();

    QPointer<QWidget> m_owner;
    QEventLoop* m_waiting = nullptr;
    bool m_disabledOwner = false;
    int m_step = 10;
    QLabel* m_label;
    QProgressBar* m_bar;
};
