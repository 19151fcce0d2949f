#include "app/modabout.h"

#include "app/applogging.h"
#include "support/dialogs.h"
#include "support/shell.h"

#include <QLocale>
#include <QStandardPaths>

QString ProgramTitle()
{
    return QStringLiteral("DCX700 Comm");
}

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2%3").arg(major).arg(minor).arg(revision);
}

QString ProgramVersionText()
{
    return VersionText(DCX_VERSION_MAJOR, DCX_VERSION_MINOR, DCX_VERSION_PATCH);
}

QString VersionLabel(const QDate& date)
{
    QString text = QStringLiteral("Version ") + ProgramVersionText();
    if (date.isValid())
        text += QLatin1Char(' ') + QLocale().toString(date, QLocale::ShortFormat);
    return text;
}

QStringList SystemInfoPrograms()
{
    return {QStringLiteral("hardinfo"),
            QStringLiteral("gnome-system-monitor"),
            QStringLiteral("plasma-systemmonitor"),
            QStringLiteral("ksysguard"),
            QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager"),
            QStringLiteral("lxtask")};
}

QString FindSystemInfoProgram(const QStringList& searchPaths)
{
    for (const QString& name : SystemInfoPrograms()) {
        const QString found = QStandardPaths::findExecutable(name, searchPaths);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void StartSysInfo(const QStringList& searchPaths)
{
    const QString program = FindSystemInfoProgram(searchPaths);
    if (!program.isEmpty() && shell().startProgram(program, {}))
        return;
    if (!program.isEmpty())
        qCWarning(lcApp) << "could not start" << program;
    dialogs().message(QStringLiteral("System Information Is Unavailable At This Time"), MsgButtons::Ok);
}
