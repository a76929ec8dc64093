#pragma once
// A file's bytes as a test compares them: empty when it cannot be read.

#include <QByteArray>
#include <QFile>
#include <QString>

inline QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
