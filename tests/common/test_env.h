#ifndef DCX_TESTS_TEST_ENV_H
#define DCX_TESTS_TEST_ENV_H

#include <QByteArray>
#include <QtGlobal>

// Fills DCX_SOURCE_DIR and DCX_BIN_DIR from the build when the environment lacks them.
inline void dcxSetTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("DCX_SOURCE_DIR"))
        qputenv("DCX_SOURCE_DIR", QByteArray(DCX_SOURCE_DIR_DEFAULT));
    if (qEnvironmentVariableIsEmpty("DCX_BIN_DIR"))
        qputenv("DCX_BIN_DIR", QByteArray(DCX_BIN_DIR_DEFAULT));
}

#endif
