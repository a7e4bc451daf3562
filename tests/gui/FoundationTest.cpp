#include "GuiTestSupport.h"

#include "app/Help.h"
#include "common/Cp1252Text.h"
#include "common/DialogUnits.h"
#include "preview/CAddDlg.h"
#include "preview/CExploreDlg.h"
#include "preview/CGoToDlg.h"
#include "preview/CPreviewDlg.h"
#include "preview/CRenBookmark.h"
#include "preview/Templates.h"
#include "wizard/CProgressDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace {

TEST(DialogUnitsTest, FollowTheFontsAverageWidthAndHeight)
{
    QFont font = QApplication::font();
    font.setPixelSize(13);
    const DialogUnits units(font);
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(units.BaseX(), (letters / 26 + 1) / 2);
    EXPECT_EQ(units.BaseY(), metrics.height());
    EXPECT_EQ(units.X(4), (4 * units.BaseX() + 2) / 4);
    EXPECT_EQ(units.X(-54), -units.X(54));
    EXPECT_EQ(units.Y(-17), -units.Y(17));
    // Edges are mapped, so neighbours in dialog units stay neighbours.
    const QRect left = units.Map({3, 5, 7, 9});
    const QRect right = units.Map({10, 5, 7, 9});
    EXPECT_EQ(left.right() + 1, right.left());

    font.setPixelSize(26);
    const DialogUnits larger(font);
    EXPECT_GT(larger.X(100), units.X(100) * 3 / 2);
    EXPECT_GT(larger.Y(100), units.Y(100) * 3 / 2);
}

TEST(Cp1252TextTest, TextAndBytesMapOneToOne)
{
    std::string every;
    for (int b = 1; b < 256; ++b)
        every.push_back(static_cast<char>(b));
    const QString shown = FromCp1252(every);
    EXPECT_EQ(shown.size(), 255);
    EXPECT_EQ(ToCp1252(shown), every);
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\u0101\u2603")), "??");

    Cp1252Validator validator;
    QString typed = QString::fromUtf8("Caf\u00e9 \u20ac");
    int cursor = 0;
    EXPECT_EQ(validator.validate(typed, cursor), QValidator::Acceptable);
    typed += QChar(0x0101);
    EXPECT_EQ(validator.validate(typed, cursor), QValidator::Invalid);
}

TEST(MessageBoxTest, QuestionsAreAskedWithTheirCaptionButtonsAndIcon)
{
    MessageBoxAnswers answers(QMessageBox::No);
    EXPECT_FALSE(AskYesNo(nullptr, "Delete?"));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].caption, "Question");
    EXPECT_EQ(answers.Asked()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Question);
}

TEST(HelpTest, PagesLieBesideTheProgramUnderItsOwnName)
{
    const QString program = QCoreApplication::applicationFilePath();
    const QUrl preview = HelpTopicUrl(program, kHelpTopicPreview);
    ASSERT_FALSE(preview.isEmpty()) << "the help pages were not copied beside the tests";
    EXPECT_EQ(preview.toLocalFile(), QDir(HelpFolder(program)).filePath("PAGE2.HTM"));
    EXPECT_TRUE(HelpTopicUrl(program, "").toLocalFile().endsWith("gui_tests.help/index.html"));

    // The same program under another name looks for pages of that name.
    const QString renamed = QFileInfo(program).dir().filePath("converter.bin");
    EXPECT_EQ(HelpFolder(renamed), QFileInfo(program).dir().filePath("converter.help"));
    EXPECT_TRUE(HelpTopicUrl(renamed, kHelpTopicPreview).isEmpty());

    bool opened = false;
    SetHelpOpener([&opened](const QUrl&) { return opened = true; });
    OpenHelpTopic("MISSING.HTM#1");
    SetHelpOpener({});
    EXPECT_FALSE(opened);
}

TEST(HelpTest, EveryTopicTheWindowsOpenHasItsAnchor)
{
    QFile page(QDir(HelpFolder(QCoreApplication::applicationFilePath())).filePath("PAGE2.HTM"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* topic : {kHelpTopicDocumentOptions, kHelpTopicTextOptions, kHelpTopicBookmarkPatterns,
                              kHelpTopicFormatOptions, kHelpTopicPreview}) {
        const QString anchor = QString::fromLatin1(topic).section(u'#', 1);
        EXPECT_TRUE(html.contains("id=\"" + anchor + "\"")) << topic;
    }
}

// Every control of every window: known by its id, named for assistive tools,
// and reached by its label's mnemonic.
class ControlsTest : public GuiTest {
protected:
    BookmarkList m_list;
};

TEST_F(ControlsTest, ThePreviewWindows)
{
    using namespace PreviewTemplate;
    const CPreviewDlg preview("", nullptr, m_list);
    EXPECT_EQ(preview.windowTitle(), "Document preview");
    ExpectNamedControls(preview, {kBookmarkCombo, kAddButton, kExploreButton, kText, kPercentButton, kCloseButton});
    ExpectTexts(preview, {{kAddButton, "&Add bookmark..."},
                          {kExploreButton, "&Explore bookmarks..."},
                          {kPercentButton, "0&%"},
                          {kCloseButton, "&Close"}});
    EXPECT_EQ(preview.findChild<QWidget*>("1065")->toolTip(), "Document bookmarks list");
    EXPECT_EQ(preview.findChild<QWidget*>("1058")->toolTip(), "Add a new bookmark manually");
    EXPECT_EQ(preview.findChild<QWidget*>("1059")->toolTip(), "Explore document bookmarks");
    EXPECT_EQ(preview.findChild<QWidget*>("1051")->toolTip(), "Go to specific document position");
    EXPECT_EQ(preview.findChild<QLabel*>()->text(), "Bookmarks:");

    const CExploreDlg explore(0, nullptr, m_list);
    ExpectNamedControls(explore, {1056, 1054, 1028, 1044, 1053, 1052, 1066});
    ExpectTexts(explore,
                {{1054, "&Go To"}, {1028, "&Rename..."}, {1044, "&Delete"}, {1053, "Delete &all"}, {1066, "&Close"}});
    EXPECT_EQ(explore.findChild<QWidget*>("1052")->toolTip(), "Bookmarks list order");
    EXPECT_EQ(explore.findChild<QWidget*>("1044")->toolTip(), "Delete selected bookmark(s)");
    EXPECT_EQ(explore.findChild<QWidget*>("1053")->toolTip(), "Delete all bookmarks");
    EXPECT_EQ(explore.findChild<QWidget*>("1028")->toolTip(), "Rename selected bookmark");
    EXPECT_EQ(explore.findChild<QWidget*>("1054")->toolTip(), "Go to selected bookmark");
    EXPECT_EQ(explore.findChild<QLabel*>()->text(), "Order by:");
    EXPECT_EQ(explore.size(), DialogUnits(explore.font()).Size(200, 123));
    EXPECT_EQ(explore.minimumSize(), explore.maximumSize());

    const CAddDlg add(0, "", nullptr, m_list);
    ExpectNamedControls(add, {1064, 1, 2});
    ExpectTexts(add, {{1, "OK"}, {2, "Cancel"}});
    EXPECT_EQ(add.findChild<QLabel*>()->text(), "Name:");
    EXPECT_TRUE(add.windowFlags() & Qt::WindowCloseButtonHint);
    const CRenBookmark rename(0, nullptr, m_list);
    ExpectNamedControls(rename, {1074, 1, 2});
    EXPECT_EQ(rename.size(), DialogUnits(rename.font()).Size(186, 38));

    const CGoToDlg goTo(0);
    ExpectNamedControls(goTo, {1060, 1057, 1, 1062, 1063, 2});
    ExpectTexts(goTo, {{1, "OK"}, {1062, "Top"}, {1063, "Bottom"}, {2, "Cancel"}});
    EXPECT_EQ(goTo.findChild<QLabel*>()->text(), "Go to position (percents):");
    EXPECT_FALSE(goTo.windowFlags() & Qt::WindowCloseButtonHint);

    const CProgressDlg progress;
    ExpectNamedControls(progress, {1087, 1086});
    EXPECT_EQ(progress.size(), DialogUnits(progress.font()).Size(150, 47));
}

}  // namespace
