// The program's one way to show a message box. Every window asks through it,
// so that tests can answer in the user's place.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>

class QWidget;

using MessageBoxHandler =
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text, const QString& caption,
                                              QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)>;

// Shows the box modally and returns the button the user pressed.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                                           QMessageBox::StandardButtons buttons, QMessageBox::Icon icon);

// `why` (a core or platform message) as the end of a sentence of the
// program's own: its final period goes, and so does the capital of a first
// word that is a plain word (not a file name or an abbreviation).
QString Reason(const std::string& why);

// A confirmation: the question in a box captioned "Question" with Yes and No;
// true for Yes.
bool AskYesNo(QWidget* parent, const QString& question);

// Replaces the real box by `handler` (for tests); an empty one restores it.
void SetMessageBoxHandler(MessageBoxHandler handler);
