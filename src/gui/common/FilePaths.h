// Paths as the file system holds them (bytes, in the locale's encoding) and
// as the program's windows show and take them.
#pragma once

#include <framework/CString.h>

#include <QFile>
#include <QString>

inline QString FromPath(const CString& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline CString ToPath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}
