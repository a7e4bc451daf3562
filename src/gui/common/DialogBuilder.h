// Lays a dialog out as its template describes it: the client area's size in
// dialog units, each control at its template rectangle and known by its
// control id, which is also its object name.
#pragma once

#include "common/DialogUnits.h"

#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

// The frame of a dialog: whether it can be resized and whether its caption
// carries the window menu with its close button.
enum class DialogFrame { Fixed, FixedWithWindowMenu, Resizable };

// The text of a label or button without its mnemonic marks ("&Close" is
// "Close", "0&%" is "0%", "&&" stays one "&").
QString WithoutMnemonic(const QString& text);

class DialogBuilder {
public:
    // Sets the dialog's caption, frame and client size (template units).
    DialogBuilder(QDialog* dialog, const QString& caption, int width, int height, DialogFrame frame);

    const DialogUnits& Units() const { return m_units; }

    // Puts `control` (a child of the dialog) at `rect` under the name of its id.
    // Controls are named for assistive tools after their labels or their own
    // text; `accessibleName` names those that have neither.
    void Place(QWidget* control, int id, const DuRect& rect, const QString& accessibleName = {}) const;
    QPushButton* AddButton(int id, const QString& text, const DuRect& rect) const;
    // A static text labelling `buddy`: its mnemonic moves the focus there and
    // its text names the buddy.
    QLabel* AddLabel(const QString& text, const DuRect& rect, QWidget* buddy) const;

private:
    QDialog* m_dialog;
    DialogUnits m_units;
};
