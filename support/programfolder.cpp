#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_folder;

const QString kAppFolder = QStringLiteral("dcx700-comm");

// Files a program folder is filled with; everything in the guide's picture folder too.
const QStringList kDefaultPatterns = {QStringLiteral("*.ini"), QStringLiteral("*.OC2"),
                                      QStringLiteral("*.html")};
const QString kGuidePictures = QStringLiteral("guide");

// The user may change settings files; documentation is ours to refresh.
bool isSettingsFile(const QString& name)
{
    return name.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".OC2"), Qt::CaseInsensitive);
}

bool copyOne(const QString& from, const QString& to, QString* error)
{
    const QFileInfo target(to);
    if (target.exists()) {
        if (isSettingsFile(target.fileName()) || QFileInfo(from).lastModified() == target.lastModified())
            return true;
        QFile::remove(to);
    }
    if (QFile::copy(from, to)) {
        // Copies of read-only system files must stay writable for the user; the
        // shipped time stamp tells a later start whether the package changed it.
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
        QFile copy(to);
        if (copy.open(QIODevice::ReadWrite))
            copy.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime);
        return true;
    }
    if (error)
        *error = QStringLiteral("cannot copy %1 to %2").arg(from, to);
    return false;
}
} // namespace

QString ProgramFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetProgramFolder(const QString& dir)
{
    g_folder = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

QString ProgramFile(const QString& name)
{
    return QDir(ProgramFolder()).filePath(name);
}

QString SharedDefaultsFolder(const QString& exeDir)
{
    const QString dir = QDir::cleanPath(exeDir + QStringLiteral("/../share/") + kAppFolder);
    return QFileInfo(dir).isDir() ? dir : QString();
}

ProgramFolderChoice ChooseProgramFolder(const QString& home, const QString& exeDir, const QString& dataHome)
{
    if (!home.isEmpty())
        return {QDir(home).absolutePath(), {}};
    const QString shared = SharedDefaultsFolder(exeDir);
    if (shared.isEmpty() && QFileInfo(exeDir).isWritable())
        return {exeDir, {}};
    return {QDir(dataHome).filePath(kAppFolder), shared.isEmpty() ? exeDir : shared};
}

bool CopyShippedDefaults(const QString& defaults, const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    bool ok = true;
    const QDir from(defaults);
    const QDir to(folder);
    for (const QString& name : from.entryList(kDefaultPatterns, QDir::Files))
        ok = copyOne(from.filePath(name), to.filePath(name), error) && ok;
    if (from.exists(kGuidePictures)) {
        to.mkpath(kGuidePictures);
        const QDir pics(from.filePath(kGuidePictures));
        for (const QString& name : pics.entryList(QDir::Files))
            ok = copyOne(pics.filePath(name), to.filePath(kGuidePictures + QLatin1Char('/') + name), error) &&
                 ok;
    }
    return ok;
}

bool UseProgramFolder(const QString& home, QString* error)
{
    const ProgramFolderChoice choice =
        ChooseProgramFolder(home, QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    SetProgramFolder(choice.folder);
    return choice.defaults.isEmpty() || CopyShippedDefaults(choice.defaults, choice.folder, error);
}
