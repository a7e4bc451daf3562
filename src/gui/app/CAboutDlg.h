// The about box: the program's icon, its version and the copyright.
#pragma once

#include <QDialog>
#include <QString>

class CAboutDlg : public QDialog {
public:
    enum ControlId { kVersionLine = 1088, kOk = 1 };

    explicit CAboutDlg(QWidget* parent = nullptr);
};

// The program's file version, as its version block gives it: four numbers
// separated by a comma and a space ("1, 0, 4, 0").
QString ProgramFileVersion();

// The version people are shown: a comma becomes a '.', spaces go, and the
// text ends at the third comma, so that "1, 0, 4, 0" reads "1.0.4".
QString ShortVersion(const QString& fileVersion);
