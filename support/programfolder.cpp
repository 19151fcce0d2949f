#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_folder;
}

QString ProgramFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetProgramFolder(const QString& dir) { g_folder = dir.isEmpty() ? QString() : QDir(dir).absolutePath(); }

QString ProgramFile(const QString& name) { return QDir(ProgramFolder()).filePath(name); }
