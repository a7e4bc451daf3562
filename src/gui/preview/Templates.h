// The templates of the preview's dialogs: client sizes, control ids and
// control rectangles in dialog units.
#pragma once

#include "common/DialogUnits.h"

namespace PreviewTemplate {  // template 130, "Document preview"
inline constexpr int kWidth = 303;
inline constexpr int kHeight = 189;
inline constexpr int kBookmarkCombo = 1065;
inline constexpr int kAddButton = 1058;
inline constexpr int kExploreButton = 1059;
inline constexpr int kText = 1083;
inline constexpr int kPercentButton = 1051;
inline constexpr int kCloseButton = 1071;
inline constexpr DuRect kLabelRect{4, 7, 38, 8};
inline constexpr DuRect kComboRect{46, 5, 91, 132};
inline constexpr DuRect kAddRect{145, 4, 75, 14};
inline constexpr DuRect kExploreRect{224, 4, 75, 14};
inline constexpr DuRect kTextRect{4, 24, 295, 144};
inline constexpr DuRect kPercentRect{4, 172, 50, 14};
inline constexpr DuRect kCloseRect{250, 172, 50, 14};
// Beyond the template: a line about the book above the text, which then starts lower.
inline constexpr int kNotice = 1101;
inline constexpr int kNoticeTop = 23;
inline constexpr int kNoticeHeight = 11;  // dialog units the text gives up
}  // namespace PreviewTemplate

namespace ExploreTemplate {  // template 133, "Explore bookmarks"
inline constexpr int kWidth = 200;
inline constexpr int kHeight = 123;
inline constexpr int kList = 1056;
inline constexpr int kGoToButton = 1054;
inline constexpr int kRenameButton = 1028;
inline constexpr int kDeleteButton = 1044;
inline constexpr int kDeleteAllButton = 1053;
inline constexpr int kOrderCombo = 1052;
inline constexpr int kCloseButton = 1066;
inline constexpr DuRect kListRect{4, 4, 138, 97};
inline constexpr DuRect kGoToRect{146, 4, 50, 14};
inline constexpr DuRect kRenameRect{146, 22, 50, 14};
inline constexpr DuRect kDeleteRect{146, 43, 50, 14};
inline constexpr DuRect kDeleteAllRect{146, 61, 50, 14};
inline constexpr DuRect kOrderLabelRect{4, 108, 32, 8};
inline constexpr DuRect kOrderRect{42, 106, 74, 56};
inline constexpr DuRect kCloseRect{146, 105, 50, 14};
inline constexpr int kColumnWidth = 60;  // 90 pixels at the templates' 6-pixel base unit
}  // namespace ExploreTemplate

// Templates 132 "Add bookmark" and 135 "Rename bookmark" share one layout.
namespace NameTemplate {
inline constexpr int kWidth = 186;
inline constexpr int kHeight = 38;
inline constexpr int kAddEdit = 1064;
inline constexpr int kRenameEdit = 1074;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr DuRect kLabelRect{4, 6, 22, 8};
inline constexpr DuRect kEditRect{30, 4, 152, 12};
inline constexpr DuRect kOkRect{77, 21, 50, 14};
inline constexpr DuRect kCancelRect{132, 21, 50, 14};
}  // namespace NameTemplate

namespace GoToTemplate {  // template 134, "GoTo"
inline constexpr int kWidth = 224;
inline constexpr int kHeight = 61;
inline constexpr int kEdit = 1060;
inline constexpr int kScrollBar = 1057;
inline constexpr int kOk = 1;
inline constexpr int kTopButton = 1062;
inline constexpr int kBottomButton = 1063;
inline constexpr int kCancel = 2;
inline constexpr DuRect kLabelRect{7, 7, 83, 8};
inline constexpr DuRect kEditRect{93, 5, 18, 12};
inline constexpr DuRect kScrollBarRect{7, 23, 212, 11};
inline constexpr DuRect kOkRect{7, 42, 50, 14};
inline constexpr DuRect kTopRect{61, 42, 50, 14};
inline constexpr DuRect kBottomRect{115, 42, 50, 14};
inline constexpr DuRect kCancelRect{169, 42, 50, 14};
}  // namespace GoToTemplate
