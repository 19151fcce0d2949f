#ifndef DCX_APP_MODABOUT_H
#define DCX_APP_MODABOUT_H

#include <QDate>
#include <QString>
#include <QStringList>

// The program's title as shown in captions and the about window.
QString ProgramTitle();

// Version text as the about window shows it: major, ".", minor and revision
// run together (1, 1, 0 gives "1.10").
QString VersionText(int major, int minor, int revision);
// This build's version text.
QString ProgramVersionText();
// "Version 1.10 <date>" with the date of the executable in the short format.
QString VersionLabel(const QDate& date);

// Desktop system-information programs, best first.
QStringList SystemInfoPrograms();
// The first of SystemInfoPrograms() found on the search path (empty list:
// the PATH), or an empty text.
QString FindSystemInfoProgram(const QStringList& searchPaths = {});
// Starts the system-information program, or tells the operator there is none.
void StartSysInfo(const QStringList& searchPaths = {});

#endif
