#ifndef DCX_SUPPORT_MODCONFIG_H
#define DCX_SUPPORT_MODCONFIG_H

#include <QString>

class cFile;
struct AppConfig;

// The configuration file "DCX700 Comm.ini" in the program folder. It is read
// once at start and written once at close; a missing file is never created.

// ProgramFile("DCX700 Comm.ini").
QString IniFilePath();
// The program-wide access object of the configuration file.
cFile& IniFile();

// Points IniFile() at IniFilePath() and reads every key into Config().
void ReadINI();
// Writes every key but "Debug" from Config(); false when a write failed (as
// every write does when the file did not exist at start).
bool WriteINI();

// The same on a given file and configuration. A key that is missing, empty,
// not a number or outside the 16-bit range gets its default.
void ReadINI(cFile& ini, AppConfig& config);
bool WriteINI(cFile& ini, const AppConfig& config, const QString& programFolder);

// How a file name is written to the configuration: a file in the program
// folder is written as its bare name, any other as held.
QString ConfigFileNameText(const QString& fileName, const QString& programFolder);

#endif
