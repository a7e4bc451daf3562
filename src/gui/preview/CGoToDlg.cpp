#include "preview/CGoToDlg.h"

#include "common/DialogBuilder.h"
#include "preview/CNumEdit.h"
#include "preview/Templates.h"

#include <core/PreviewPercent.h>

#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

using namespace GoToTemplate;

namespace {

folivo::PercentStep StepOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return folivo::PercentStep::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd: return folivo::PercentStep::LineRight;
    case QAbstractSlider::SliderPageStepSub: return folivo::PercentStep::PageLeft;
    case QAbstractSlider::SliderPageStepAdd: return folivo::PercentStep::PageRight;
    case QAbstractSlider::SliderMove: return folivo::PercentStep::Thumb;
    default: return folivo::PercentStep::Other;
    }
}

}  // namespace

CGoToDlg::CGoToDlg(int percent, QWidget* parent)
    : QDialog(parent), m_percent(percent), m_current(percent), m_edit(new CNumEdit(this)),
      m_scrollBar(new QScrollBar(Qt::Horizontal, this))
{
    const DialogBuilder builder(this, QStringLiteral("GoTo"), kWidth, kHeight, DialogFrame::Fixed);
    builder.Place(m_edit, kEdit, kEditRect);
    builder.AddLabel(QStringLiteral("Go to position (percents):"), kLabelRect, m_edit);
    builder.Place(m_scrollBar, kScrollBar, kScrollBarRect, QStringLiteral("Go to position"));
    QPushButton* ok = builder.AddButton(kOk, QStringLiteral("OK"), kOkRect);
    QPushButton* top = builder.AddButton(kTopButton, QStringLiteral("Top"), kTopRect);
    QPushButton* bottom = builder.AddButton(kBottomButton, QStringLiteral("Bottom"), kBottomRect);
    QPushButton* cancel = builder.AddButton(kCancel, QStringLiteral("Cancel"), kCancelRect);
    ok->setDefault(true);

    m_edit->setToolTip(QStringLiteral("Go to position"));
    m_scrollBar->setToolTip(QStringLiteral("Go to position"));
    top->setToolTip(QStringLiteral("Go to the start of the document"));
    bottom->setToolTip(QStringLiteral("Go to the end of the document"));

    m_scrollBar->setRange(0, 100);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(5);
    // Typing takes two digits at most; the program may show 100.
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("(?s).{0,2}")), m_edit));
    SetCurrent(m_current);
    m_edit->selectAll();
    m_edit->setFocus();

    connect(m_scrollBar, &QScrollBar::actionTriggered, this, &CGoToDlg::OnScrollAction);
    connect(m_edit, &QLineEdit::textChanged, this, &CGoToDlg::OnTextChanged);
    connect(top, &QPushButton::clicked, this, [this] { SetCurrent(0); });
    connect(bottom, &QPushButton::clicked, this, [this] { SetCurrent(100); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CGoToDlg::accept()
{
    m_percent = m_current;
    QDialog::accept();
}

void CGoToDlg::SetCurrent(int value)
{
    m_current = value;
    m_scrollBar->setValue(value);
    m_edit->setText(QString::number(value));
}

void CGoToDlg::OnScrollAction(int action)
{
    SetCurrent(folivo::StepPercent(m_current, StepOf(action), m_scrollBar->sliderPosition()));
}

void CGoToDlg::OnTextChanged(const QString& text)
{
    m_current = folivo::PercentFromText(text.toStdString());
    m_scrollBar->setValue(m_current);
}
