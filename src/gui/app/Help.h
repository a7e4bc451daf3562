// The program's help: HTML pages in a folder beside the program, named after
// the program's own file ("folivo-converter.help" beside "folivo-converter"),
// or, where the program is installed, among its data files
// ("<prefix>/share/folivo-converter/help" for "<prefix>/bin/folivo-converter"),
// shown in the desktop's browser. Without the pages or a browser, asking for
// help does nothing.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Topics of the help pages: a page and the anchor on it.
inline constexpr char kHelpTopicDocumentOptions[] = "PAGE2.HTM#2_1";
inline constexpr char kHelpTopicTextOptions[] = "PAGE2.HTM#2_2";
inline constexpr char kHelpTopicBookmarkPatterns[] = "PAGE2.HTM#2_3";
inline constexpr char kHelpTopicFormatOptions[] = "PAGE2.HTM#2_4";
inline constexpr char kHelpTopicPreview[] = "PAGE2.HTM#3";

// The help folder of the program at `programPath`: the one beside it unless
// only the installed one exists.
QString HelpFolder(const QString& programPath);
// The address of `topic` in that folder (an empty topic: the contents page),
// or an empty URL when the page is not there.
QUrl HelpTopicUrl(const QString& programPath, const QString& topic);

// Opens `topic` of this program's help.
void OpenHelpTopic(const QString& topic);

// What opens an address (the desktop's browser unless a test says otherwise);
// an empty one restores the browser.
using HelpOpener = std::function<bool(const QUrl&)>;
void SetHelpOpener(HelpOpener opener);
