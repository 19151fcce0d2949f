#ifndef DCX_TESTS_COMMON_TESTFILES_H
#define DCX_TESTS_COMMON_TESTFILES_H

// Whole-file reads and writes for the tests' scratch files.
#include <QDir>
#include <QFile>
#include <QFileInfo>

// The bytes of a file; a missing or unreadable one reads as empty.
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces a file with bytes, making its folder first.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

#endif
