#include "support/programfolder.h"
#include "tests/common/test_env.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    dcxSetTestEnvironment();
    QCoreApplication app(argc, argv);
    const QTemporaryDir settingsDir;
    dcxPrivateUserSettings(settingsDir);
    const QTemporaryDir programDir;
    dcxPrivateProgramFolder(programDir);
    SetProgramFolder(programDir.path());
    return RUN_ALL_TESTS();
}
