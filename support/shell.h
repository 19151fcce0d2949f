#ifndef DCX_SUPPORT_SHELL_H
#define DCX_SUPPORT_SHELL_H

#include <QString>
#include <QStringList>

// Opens documents and URLs with the desktop's default application and starts
// programs; each call returns at once. Replaceable for tests.
class Shell {
public:
    virtual ~Shell();
    virtual bool openDocument(const QString& path) = 0;
    virtual bool openUrl(const QString& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& args = {}) = 0;
};

// A Shell that only records what it was asked to do.
class RecordingShell final : public Shell {
public:
    bool openDocument(const QString& path) override
    {
        documents << path;
        return result;
    }
    bool openUrl(const QString& url) override
    {
        urls << url;
        return result;
    }
    bool startProgram(const QString& program, const QStringList& args) override
    {
        programs << (args.isEmpty() ? program : program + QLatin1Char(' ') + args.join(QLatin1Char(' ')));
        return result;
    }
    QStringList documents, urls, programs;
    bool result = true;
};

// The program-wide shell: a desktop one (installed by the GUI) or, without it,
// a headless one that starts programs with QProcess and cannot open documents.
Shell& shell();
void setShell(Shell* s); // not owned; nullptr restores the default

#endif
