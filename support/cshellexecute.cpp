#include "support/cshellexecute.h"

#include "support/shell.h"

bool cShellExecute::LaunchProgram(const QString& program, const QStringList& args)
{
    return shell().startProgram(program, args);
}

bool cShellExecute::LaunchDocument(const QString& path)
{
    return shell().openDocument(path);
}
bool cShellExecute::LaunchFolder(const QString& folder)
{
    return shell().openDocument(folder);
}
bool cShellExecute::Explore(const QString& folder)
{
    return shell().openDocument(folder);
}
bool cShellExecute::LaunchEmail(const QString& address)
{
    return shell().openUrl(QStringLiteral("mailto:") + address);
}
bool cShellExecute::LaunchURL(const QString& url)
{
    return shell().openUrl(url);
}

bool cShellExecute::PrintDocument(const QString& path)
{
    return shell().startProgram(QStringLiteral("lp"), {path});
}
