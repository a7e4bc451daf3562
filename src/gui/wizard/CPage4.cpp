#include "wizard/CPage4.h"

#include "app/Help.h"
#include "common/DialogBuilder.h"
#include "wizard/CPage1.h"
#include "wizard/CPage2.h"
#include "wizard/CPage3.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace Page4Template;

namespace {

const QString kSizeName = QStringLiteral("Resulting size");

}  // namespace

CPage4::CPage4(CWizardDlg& sheet)
    : WizardPage(sheet, 110, QStringLiteral("Folivo convertion wizard - step 4 of 4 | Format options")),
      m_formatLabel(new QLabel), m_block(new QSpinBox), m_size(new QLabel(QStringLiteral("Static")))
{
    const DialogBuilder builder(this, WizardTemplate::kPageWidth, WizardTemplate::kPageHeight);
    builder.Place(m_formatLabel, kFormatLabel, kFormatLabelRect, QStringLiteral("Document format"));
    QGroupBox* compression = builder.AddGroupBox(QStringLiteral("Compression options"), kCompressionGroupRect);
    m_first = builder.AddRadioButton(kCompressFirst, QStringLiteral("&Random access compression"), kCompressFirstRect,
                                     compression);
    m_second = builder.AddRadioButton(kCompressSecond, QStringLiteral("&Entire document compression"),
                                      kCompressSecondRect, compression);
    // The block size moves only by the arrows: its edit takes no typing.
    builder.Place(m_block, kBlockUpDown, kBlockRect);
    auto* blockEdit = m_block->findChild<QLineEdit*>();
    blockEdit->setObjectName(QString::number(kBlockEdit));
    blockEdit->setReadOnly(true);
    m_block->setRange(static_cast<int>(folivo::kFewestBlockKB), static_cast<int>(folivo::kMostBlockKB));
    builder.AddLabel(QStringLiteral("Block size (KB):"), kBlockLabelRect, m_block);
    blockEdit->setAccessibleName(m_block->accessibleName());
    builder.Place(m_size, kSizeLabel, kSizeRect);
    builder.AddLabel(kSizeName + u':', kSizeCaptionRect, m_size);
    QPushButton* refresh = builder.AddButton(kRefreshButton, QStringLiteral("Refresh"), kRefreshRect);
    AddPreviewAndSaveBox(builder, kPreviewButton, kSaveDefaults);
    Show(folivo::InitialFormatPageState(DocumentFormat::PalmDoc));

    // Refresh measures again with the page's present choices; it reloads nothing.
    connect(refresh, &QPushButton::clicked, this, &CPage4::OnSetActive);
}

void CPage4::OnSetActive()
{
    Sheet().SetWizardButtons(CWizardDlg::kBack | CWizardDlg::kFinish);
    const DocumentFormat format = Sheet().Page1().Format();
    if (!pageShown) {
        // Also when the store cannot be read: the page then starts from the
        // format's built-in values, labelled and measured all the same.
        Show(folivo::StoredFormatPageState(format));
        pageShown = true;
    }
    Relabel(format);
    ShowSize(format);
}

void CPage4::Show(const folivo::FormatPageState& state)
{
    m_block->setValue(static_cast<int>(state.blockSizeKB));
    (state.compressFirst == 1 ? m_first : m_second)->setChecked(true);
}

void CPage4::Relabel(DocumentFormat format)
{
    const bool palmDoc = format == DocumentFormat::PalmDoc;
    ShowChangingText(m_first, palmDoc ? QStringLiteral("On") : QStringLiteral("Random access compression"));
    ShowChangingText(m_second, palmDoc ? QStringLiteral("Off") : QStringLiteral("Entire document compression"));
    ShowChangingText(m_formatLabel, palmDoc ? QStringLiteral("Selected document format: PalmDoc")
                                            : QStringLiteral("Selected document format: zTXT"));
}

void CPage4::ShowSize(DocumentFormat format)
{
    long long size = 0;
    if (const folivo::Error problem = Sheet().MeasureDatabaseSize(format, BlockSizeKB(), Compress(), size)) {
        // An earlier size would pass for this one's.
        ShowChangingText(m_size, QStringLiteral("Unknown"), kSizeName);
        m_size->setToolTip(QStringLiteral("No database could be made: ") + QString::fromStdString(problem.Message()));
        return;
    }
    // Whole kilobytes: the remainder is dropped, not rounded.
    ShowChangingText(m_size, QString::number(size / 1024) + QStringLiteral(" KB"), kSizeName);
    m_size->setToolTip(QString());
}

bool CPage4::OnWizardFinish()
{
    if (Sheet().Page2().SaveDefaultsChecked())
        Sheet().Page2().SaveTextDefaults();
    if (Sheet().Page3().SaveDefaultsChecked())
        Sheet().Page3().SaveBookmarkDefaults();
    if (SaveDefaultsChecked())
        SaveFormatDefaults();
    return Sheet().FinishConversion(Sheet().Page1().Format(), BlockSizeKB(), Compress());
}

void CPage4::SaveFormatDefaults() const
{
    folivo::FormatPageState state;
    state.blockSizeKB = static_cast<std::uint32_t>(m_block->value());
    state.compressFirst = m_first->isChecked() ? 1 : 0;
    state.compressSecond = m_second->isChecked() ? 1 : 0;
    folivo::SaveFormatDefaults(Sheet().Page1().Format(), state);
}

std::int32_t CPage4::BlockSizeKB() const
{
    return m_block->value();
}

std::int32_t CPage4::Compress() const
{
    return m_first->isChecked() ? 1 : 0;
}

QString CPage4::HelpTopic() const
{
    return QString::fromLatin1(kHelpTopicFormatOptions);
}
