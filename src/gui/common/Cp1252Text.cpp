#include "common/Cp1252Text.h"

#include <framework/Windows1252.h>

QString FromCp1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(folivo::Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return text;
}

CString ToCp1252(const QString& text)
{
    CString bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        unsigned char byte = '?';
        folivo::UnicodeToCp1252(c.unicode(), byte);
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

QValidator::State Cp1252Validator::validate(QString& input, int&) const
{
    unsigned char byte = 0;
    for (QChar c : input) {
        if (!folivo::UnicodeToCp1252(c.unicode(), byte))
            return Invalid;
    }
    return Acceptable;
}
