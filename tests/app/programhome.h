#ifndef DCX_TESTS_APP_PROGRAMHOME_H
#define DCX_TESTS_APP_PROGRAMHOME_H

#include "support/config.h"
#include "support/formposition.h"
#include "support/programfolder.h"
#include "tests/common/programfolder_env.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// A scratch program folder for one main-window test: the program folder and
// the current folder point at it, configuration and window positions start
// fresh, and everything is put back afterwards.
class ProgramHome {
public:
    ProgramHome() : previousDir_(QDir::currentPath())
    {
        QStandardPaths::setTestModeEnabled(true);
        clearPositions();
        SetProgramFolder(dir_.path());
        QDir::setCurrent(dir_.path());
        Config() = AppConfig{};
    }
    ~ProgramHome()
    {
        QDir::setCurrent(previousDir_);
        SetProgramFolder(dcxTestProgramFolder());
        Config() = AppConfig{};
        clearPositions();
    }
    ProgramHome(const ProgramHome&) = delete;
    ProgramHome& operator=(const ProgramHome&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    static void clearPositions()
    {
        QSettings s{QString::fromLatin1(FormSettingsOrganization),
                    QString::fromLatin1(FormSettingsApplication)};
        s.remove(QString::fromLatin1(FormSettingsGroup));
    }

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

#endif
