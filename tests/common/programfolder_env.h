#ifndef DCX_TESTS_COMMON_PROGRAMFOLDER_ENV_H
#define DCX_TESTS_COMMON_PROGRAMFOLDER_ENV_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Each test process runs as a program installed in a folder of its own, so
// the error report ("ERRORS.TXT") and other files a program writes beside
// itself never land in the build's bin/ folder. Programs a test starts get
// the same folder through --home dcxTestProgramFolder().
inline void dcxPrivateProgramFolder(const QTemporaryDir& dir)
{
    qputenv("DCX_TEST_PROGRAM_FOLDER", dir.path().toLocal8Bit());
}

// The test process's own program folder (see dcxPrivateProgramFolder); tests
// that point the program folder elsewhere put this back afterwards.
inline QString dcxTestProgramFolder()
{
    return qEnvironmentVariable("DCX_TEST_PROGRAM_FOLDER");
}

#endif
