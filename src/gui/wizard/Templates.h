// The templates of the conversion wizard: the sheet's buttons and the four
// pages, with their control ids and rectangles in dialog units. The pages
// share one size; the sheet grows around the largest, as a sheet does.
#pragma once

#include "common/DialogUnits.h"

namespace WizardTemplate {
inline constexpr int kPageWidth = 262;
inline constexpr int kPageHeight = 140;
// The sheet's own controls.
inline constexpr int kBackButton = 0x3023;
inline constexpr int kNextButton = 0x3024;
inline constexpr int kFinishButton = 0x3025;
inline constexpr int kDivider = 0x3026;
inline constexpr int kCancelButton = 2;
inline constexpr int kHelpButton = 9;
// Buttons are 50 by 14 units; Back and Next touch, 7 units lie between the others.
inline constexpr int kButtonWidth = 50;
inline constexpr int kButtonHeight = 14;
inline constexpr int kMargin = 7;
// The sheet's client area around a page, before it is made compact.
inline constexpr int kSheetExtraWidth = 24;
inline constexpr int kSheetExtraHeight = 37;
inline constexpr int kDividerTop = 10;  // below the page
inline constexpr int kButtonTop = 16;   // below the page
// The compact placement, in pixels: buttons move left and up, the divider
// up and shorter, and the sheet loses the room they leave.
inline constexpr int kCompactLeft = 31;
inline constexpr int kCompactUp = 15;
inline constexpr int kCompactWidth = 35;
inline constexpr int kCompactHeight = 20;
}  // namespace WizardTemplate

// The box that saves a page's choices as the defaults at Finish, at one place
// on pages 2 to 4; its id differs per page.
inline constexpr DuRect kSaveDefaultsRect{152, 123, 103, 10};
inline constexpr DuRect kPreviewRect{7, 121, 50, 14};

namespace Page1Template {  // template 107, document options
inline constexpr int kOutputEdit = 1002;
inline constexpr int kBrowseButton = 1003;
inline constexpr int kTitleEdit = 1005;
inline constexpr int kAutoInstall = 1006;
inline constexpr int kUserCombo = 1008;
inline constexpr int kPalmDoc = 1045;
inline constexpr int kZtxt = 1031;
inline constexpr DuRect kOutputLabelRect{7, 9, 40, 8};
inline constexpr DuRect kOutputRect{50, 7, 149, 12};
inline constexpr DuRect kBrowseRect{205, 6, 50, 14};
inline constexpr DuRect kTitleLabelRect{7, 27, 40, 8};
inline constexpr DuRect kTitleRect{50, 25, 205, 12};
inline constexpr DuRect kInstallGroupRect{7, 45, 248, 44};
inline constexpr DuRect kAutoInstallRect{15, 57, 120, 10};
inline constexpr DuRect kUserLabelRect{15, 73, 30, 8};
inline constexpr DuRect kUserRect{50, 71, 197, 12};
inline constexpr DuRect kFormatGroupRect{7, 95, 248, 30};
inline constexpr DuRect kPalmDocRect{15, 108, 70, 10};
inline constexpr DuRect kZtxtRect{95, 108, 70, 10};
}  // namespace Page1Template

namespace Page2Template {  // template 108, text options
inline constexpr int kRemoveNone = 1018;
inline constexpr int kRemoveLF = 1019;
inline constexpr int kRemoveCR = 1020;
inline constexpr int kTranslateNone = 1021;
inline constexpr int kTranslateCR = 1022;
inline constexpr int kTranslateLF = 1023;
inline constexpr int kSingle = 1024;
inline constexpr int kTabs = 1025;
inline constexpr int kAscii = 1026;
inline constexpr int kHtml = 1027;
inline constexpr int kCharset = 1089;
inline constexpr int kHtmlLayout = 1090;
inline constexpr int kPreviewButton = 1049;
inline constexpr int kSaveDefaults = 1073;
inline constexpr DuRect kRemovalGroupRect{7, 7, 121, 52};
inline constexpr DuRect kRemoveNoneRect{13, 19, 113, 10};
inline constexpr DuRect kRemoveLFRect{13, 31, 113, 10};
inline constexpr DuRect kRemoveCRRect{13, 43, 113, 10};
inline constexpr DuRect kTranslationGroupRect{134, 7, 121, 52};
inline constexpr DuRect kTranslateNoneRect{140, 19, 113, 10};
inline constexpr DuRect kTranslateCRRect{140, 31, 113, 10};
inline constexpr DuRect kTranslateLFRect{140, 43, 113, 10};
inline constexpr DuRect kMiscGroupRect{7, 63, 248, 55};
inline constexpr DuRect kSingleRect{13, 74, 118, 10};
inline constexpr DuRect kTabsRect{13, 85, 118, 10};
inline constexpr DuRect kAsciiRect{140, 74, 113, 10};
inline constexpr DuRect kHtmlRect{140, 85, 113, 10};
inline constexpr DuRect kCharsetRect{13, 96, 238, 10};
inline constexpr DuRect kHtmlLayoutRect{13, 107, 238, 10};
}  // namespace Page2Template

namespace Page3Template {  // template 109, bookmarks
inline constexpr int kPatternEdit = 1017;
inline constexpr int kPreviewButton = 1050;
inline constexpr int kSaveDefaults = 1024;
inline constexpr int kContentsBookmarks = 1091;
inline constexpr DuRect kGroupRect{7, 7, 248, 110};
inline constexpr DuRect kLabelRect{13, 19, 236, 8};
inline constexpr DuRect kPatternRect{13, 30, 236, 68};
inline constexpr DuRect kContentsRect{13, 102, 236, 10};
}  // namespace Page3Template

namespace Page4Template {  // template 110, format options
inline constexpr int kFormatLabel = 1072;
inline constexpr int kCompressFirst = 1041;
inline constexpr int kCompressSecond = 1042;
inline constexpr int kBlockEdit = 1040;
inline constexpr int kBlockUpDown = 1048;
inline constexpr int kSizeLabel = 1043;
inline constexpr int kRefreshButton = 1029;
inline constexpr int kPreviewButton = 1028;
inline constexpr int kSaveDefaults = 1024;
inline constexpr DuRect kFormatLabelRect{7, 7, 248, 8};
inline constexpr DuRect kCompressionGroupRect{7, 20, 248, 40};
inline constexpr DuRect kCompressFirstRect{15, 32, 200, 10};
inline constexpr DuRect kCompressSecondRect{15, 44, 200, 10};
inline constexpr DuRect kBlockLabelRect{7, 70, 60, 8};
inline constexpr DuRect kBlockRect{70, 68, 40, 12};  // the edit with its arrows
inline constexpr DuRect kSizeCaptionRect{7, 88, 60, 8};
inline constexpr DuRect kSizeRect{70, 88, 110, 8};
inline constexpr DuRect kRefreshRect{205, 85, 50, 14};
}  // namespace Page4Template
