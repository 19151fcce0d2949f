#ifndef DCX_SUPPORT_PROGRAMFOLDER_H
#define DCX_SUPPORT_PROGRAMFOLDER_H

#include <QString>

// The program folder: where the INI file, help file, chart files and error
// file live. The executable's folder unless --home replaced it.
QString ProgramFolder();
void SetProgramFolder(const QString& dir);
// ProgramFolder() + "/" + name
QString ProgramFile(const QString& name);

#endif
