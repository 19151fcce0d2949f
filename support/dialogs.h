#ifndef DCX_SUPPORT_DIALOGS_H
#define DCX_SUPPORT_DIALOGS_H

#include <QString>
#include <optional>

// Every message box, question, input box and file dialog of the program goes
// through this interface, so tests and the command-line tool can answer them.

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgResult { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct FileDialogRequest {
    QString title;
    QString filter;      // description|pattern pairs: "Database (*.mdb)|*.mdb|All Files (*.*)|*.*"
    int filterIndex = 1; // 1-based, as the pairs are counted
    QString initialDir;
    QString fileName;   // proposed name
    QString defaultExt; // without the dot
};

class Dialogs {
public:
    virtual ~Dialogs();
    // A message box; title empty means the application title.
    virtual MsgResult message(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                              MsgIcon icon = MsgIcon::None, const QString& title = {}) = 0;
    // Input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {}) = 0;
    virtual std::optional<QString> openFile(const FileDialogRequest& req) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& req) = 0;
    // The "please wait" pointer, nested: each true needs a false.
    virtual void setBusy(bool busy) = 0;
    // An operation that prompts for retries record by record (a transfer)
    // starts its next record: a policy that limits the retries per record
    // counts afresh from here. Dialogs that ask a person ignore it.
    virtual void beginRecord() {}
};

// The answer a dialog gets when nobody answers it: never the one that confirms.
MsgResult defaultAnswer(MsgButtons buttons);

// The program-wide dialog seam. Without an installed implementation a headless
// one is used that prints to stderr and answers with defaultAnswer().
Dialogs& dialogs();
// Installs d (not owned; nullptr restores the headless one).
void setDialogs(Dialogs* d);

// Installs a Dialogs for the lifetime of this object, restoring the previous one.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs& d);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    Dialogs* previous_;
};

// RAII "please wait" pointer.
class BusyCursor {
public:
    BusyCursor() { dialogs().setBusy(true); }
    ~BusyCursor() { dialogs().setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

#endif
