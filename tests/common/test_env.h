#ifndef DCX_TESTS_TEST_ENV_H
#define DCX_TESTS_TEST_ENV_H

#include <QByteArray>
#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

#include "tests/common/programfolder_env.h"

// Fills DCX_SOURCE_DIR and DCX_BIN_DIR from the build when the environment lacks them.
inline void dcxSetTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("DCX_SOURCE_DIR"))
        qputenv("DCX_SOURCE_DIR", QByteArray(DCX_SOURCE_DIR_DEFAULT));
    if (qEnvironmentVariableIsEmpty("DCX_BIN_DIR"))
        qputenv("DCX_BIN_DIR", QByteArray(DCX_BIN_DIR_DEFAULT));
}

// Each test process keeps its per-user settings (window positions) in a folder
// of its own, so tests running side by side never see each other's positions
// and never touch the real user's.
inline void dcxPrivateUserSettings(const QTemporaryDir& dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

#endif
