#include "support/programfolder.h"
#include "tests/common/test_env.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    dcxSetTestEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QTemporaryDir settingsDir;
    dcxPrivateUserSettings(settingsDir);
    const QTemporaryDir programDir;
    dcxPrivateProgramFolder(programDir);
    SetProgramFolder(programDir.path());
    return RUN_ALL_TESTS();
}
