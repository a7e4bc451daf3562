// The program's 8-bit text (Windows-1252) on screen: one character per byte,
// so that offsets in a line are the same in the bytes and in what is shown.
#pragma once

#include <framework/CString.h>

#include <QString>
#include <QValidator>

#include <string_view>

QString FromCp1252(std::string_view bytes);
// Characters the code page lacks become '?'.
CString ToCp1252(const QString& text);

// Lets into an edit only characters the code page has, so that a name is
// stored as it was typed.
class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
