#ifndef DCX_SUPPORT_QTDIALOGS_H
#define DCX_SUPPORT_QTDIALOGS_H

#include "support/dialogs.h"
#include "support/shell.h"

class QWidget;

// The real dialogs: QMessageBox, QInputDialog and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    MsgResult message(const QString& text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                      const QString& title = {}) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText = {}) override;
    std::optional<QString> openFile(const FileDialogRequest& req) override;
    std::optional<QString> saveFile(const FileDialogRequest& req) override;
    void setBusy(bool busy) override;
};

// Opens documents and URLs with the desktop's default application.
class DesktopShell final : public Shell {
public:
    bool openDocument(const QString& path) override;
    bool openUrl(const QString& url) override;
    bool startProgram(const QString& program, const QStringList& args = {}) override;
};

// "Database (*.mdb)|*.mdb|All (*.*)|*.*" -> "Database (*.mdb);;All (*.*)"
QString toQtFilter(const QString& pipeFilter, int filterIndex, QString* selected);

#endif
