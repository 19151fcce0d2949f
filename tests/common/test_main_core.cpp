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
    return RUN_ALL_TESTS();
}
