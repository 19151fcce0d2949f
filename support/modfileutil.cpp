#include "support/modfileutil.h"

#include "support/modutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

// The run-time error numbers and texts these utilities report.
constexpr qint32 ErrFileNotFound = 53;
constexpr qint32 ErrPermissionDenied = 70;
constexpr qint32 ErrFileAccess = 75;

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

bool AppendToTextFile(const QString& fileName, const QString& text)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        ShowProcError(QStringLiteral("AppendToTextFile"), ErrFileAccess,
                      QStringLiteral("Path/File access error: ") + f.errorString());
        return false;
    }
    const QByteArray line = text.toUtf8() + "\r\n";
    if (f.write(line) != line.size()) {
        ShowProcError(QStringLiteral("AppendToTextFile"), ErrFileAccess,
                      QStringLiteral("Path/File access error: ") + f.errorString());
        return false;
    }
    return true;
}

bool FileExists(const QString& fileName)
{
    return !fileName.isEmpty() && QFileInfo(fileName).isFile();
}

bool KillFile(const QString& fileName)
{
    if (!FileExists(fileName))
        return true;
    QFile f(fileName);
    if (!f.remove()) {
        ShowProcError(QStringLiteral("KillFile"), ErrPermissionDenied,
                      QStringLiteral("Permission denied: ") + f.errorString());
        return false;
    }
    return true;
}

QString GetNamePart(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString GetPathPart(const QString& path)
{
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at + 1);
}

QString PathFromFullPath(const QString& path)
{
    const qsizetype at = lastSeparator(path);
    if (at < 0)
        return {};
    if (at == 0)
        return path.left(1);
    return path.left(at);
}

QString DriveFromPath(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
}

qint64 GetFileSize(const QString& fileName)
{
    const QFileInfo fi(fileName);
    if (!fi.isFile()) {
        ShowProcError(QStringLiteral("GetFileSize"), ErrFileNotFound, QStringLiteral("File not found"));
        return 0;
    }
    return fi.size();
}

bool CopyFileByte(const QString& source, const QString& dest)
{
    const QString proc = QStringLiteral("CopyFileByte");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        ShowProcError(proc, ErrFileNotFound, QStringLiteral("File not found: ") + source);
        return false;
    }
    QSaveFile out(dest);
    if (!out.open(QIODevice::WriteOnly)) {
        ShowProcError(proc, ErrFileAccess, QStringLiteral("Path/File access error: ") + out.errorString());
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || !out.commit()) {
        out.cancelWriting();
        ShowProcError(proc, ErrFileAccess, QStringLiteral("Path/File access error: ") + dest);
        return false;
    }
    return true;
}

bool IsAttrSet(const QString& fileName, int attrs)
{
    const QFileInfo fi(fileName);
    if (!fi.exists())
        return false;
    int have = 0;
    if (!fi.isWritable())
        have |= AttrReadOnly;
    if (fi.isHidden())
        have |= AttrHidden;
    if (fi.isDir())
        have |= AttrDirectory;
    return (have & attrs) == attrs;
}

QString ConvertPathToUNC(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canonical;
}

QString GetShortFileName(const QString& path)
{
    return ConvertPathToUNC(path);
}

QDateTime GetFileDateTime(const QString& fileName)
{
    const QFileInfo fi(fileName);
    return fi.exists() ? fi.lastModified() : QDateTime();
}

QString GetFileDate(const QString& fileName)
{
    const QDateTime t = GetFileDateTime(fileName);
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString GetFileTime(const QString& fileName)
{
    const QDateTime t = GetFileDateTime(fileName);
    return t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : QString();
}
