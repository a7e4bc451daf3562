// Lays a dialog out as its template describes it: the client area's size in
// dialog units, each control at its template rectangle and known by its
// control id, which is also its object name. Rectangles are the template's,
// measured from the dialog's corner, also for a control inside a group box.
#pragma once

#include "common/DialogUnits.h"

#include <QString>

class QAbstractButton;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

// The frame of a dialog: whether it can be resized and whether its caption
// carries the window menu with its close button.
enum class DialogFrame { Fixed, FixedWithWindowMenu, Resizable };

// The text of a label or button without its mnemonic marks ("&Close" is
// "Close", "0&%" is "0%", "&&" stays one "&").
QString WithoutMnemonic(const QString& text);

// Shows `text` on a control whose text changes while the window is up, and
// names the control after it for assistive tools, which otherwise go on
// reading the name it was given first: `caption`, the name of what the text
// is the value of, comes first when given ("Resulting size: 12 KB").
void ShowChangingText(QLabel* label, const QString& text, const QString& caption = {});
void ShowChangingText(QAbstractButton* button, const QString& text);

class DialogBuilder {
public:
    // Sets the dialog's caption, frame and client size (template units).
    DialogBuilder(QDialog* dialog, const QString& caption, int width, int height, DialogFrame frame);
    // A child page (of a wizard) of that size, without frame or caption.
    DialogBuilder(QWidget* page, int width, int height);

    const DialogUnits& Units() const { return m_units; }

    // Puts `control` (a child of the dialog) at `rect` under the name of its id.
    // Controls are named for assistive tools after their labels or their own
    // text; `accessibleName` names those that have neither.
    // `group`, when given, holds the control: a group box of the dialog.
    void Place(QWidget* control, int id, const DuRect& rect, const QString& accessibleName = {},
               QWidget* group = nullptr) const;
    QPushButton* AddButton(int id, const QString& text, const DuRect& rect) const;
    QCheckBox* AddCheckBox(int id, const QString& text, const DuRect& rect, QWidget* group = nullptr) const;
    // Radio buttons of one group box exclude each other.
    QRadioButton* AddRadioButton(int id, const QString& text, const DuRect& rect, QWidget* group = nullptr) const;
    // Its mnemonic moves the focus to the first control it holds.
    QGroupBox* AddGroupBox(const QString& text, const DuRect& rect) const;
    // A static text labelling `buddy`, in the buddy's group box if it has
    // one: its mnemonic moves the focus there and its text names the buddy.
    QLabel* AddLabel(const QString& text, const DuRect& rect, QWidget* buddy) const;

private:
    QRect MapIn(const QWidget* container, const DuRect& rect) const;

    QWidget* m_dialog;
    DialogUnits m_units;
};
