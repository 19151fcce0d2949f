#ifndef DCX_SUPPORT_CSHELLEXECUTE_H
#define DCX_SUPPORT_CSHELLEXECUTE_H

#include <QString>
#include <QStringList>

// Hands documents, folders, addresses and programs to the desktop through
// shell(); every call returns at once with whether the request was accepted.
class cShellExecute {
public:
    bool LaunchProgram(const QString& program, const QStringList& args = {});
    bool LaunchDocument(const QString& path);
    bool LaunchFolder(const QString& folder);
    bool Explore(const QString& folder);
    bool LaunchEmail(const QString& address);
    bool LaunchURL(const QString& url);
    // Sends the document to the default printer ("lp").
    bool PrintDocument(const QString& path);
    // Launched programs are not followed once handed over.
    bool StillExecuting() const { return false; }
};

#endif
