#ifndef DCX_SUPPORT_PROGRAMFOLDER_H
#define DCX_SUPPORT_PROGRAMFOLDER_H

#include <QString>

// The program folder: where the INI file, help file, chart files and error
// file live. The executable's folder unless --home or the installed-mode rule
// (UseProgramFolder) replaced it.
QString ProgramFolder();
void SetProgramFolder(const QString& dir);
// ProgramFolder() + "/" + name
QString ProgramFile(const QString& name);

// Where a program in exeDir finds its program folder.
struct ProgramFolderChoice {
    QString folder;   // the program folder
    QString defaults; // shipped defaults to fill it from; empty: use it as it is
};

// The folder of the shipped defaults of an installed program in exeDir
// (exeDir/../share/dcx700-comm), or empty when there is none.
QString SharedDefaultsFolder(const QString& exeDir);
// home (from --home) wins; an installed program (shipped defaults beside it,
// or a folder it may not write) uses dataHome/dcx700-comm; a build tree keeps
// exeDir.
ProgramFolderChoice ChooseProgramFolder(const QString& home, const QString& exeDir, const QString& dataHome);
// Creates folder and copies the shipped defaults it lacks: settings (INI and
// chart files) only when missing, so the user's changes stay; the user guide
// and its pictures also when the shipped copy changed. False with a reason
// when the folder cannot be made or a file not copied.
bool CopyShippedDefaults(const QString& defaults, const QString& folder, QString* error = nullptr);
// Chooses this run's program folder (home may be empty) and, for an installed
// program, fills the per-user folder ($XDG_DATA_HOME/dcx700-comm). The folder
// is set even when filling it fails; then error says why.
bool UseProgramFolder(const QString& home, QString* error = nullptr);

#endif
