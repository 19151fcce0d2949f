#include "support/qtdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace {

QWidget* parentWidget()
{
    return QApplication::activeWindow();
}

QString appTitle()
{
    return QStringLiteral("DCX700 Comm");
}

} // namespace

MsgResult QtDialogs::message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    QMessageBox box(parentWidget());
    box.setWindowTitle(title.isEmpty() ? appTitle() : title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case MsgButtons::Ok:
        set = QMessageBox::Ok;
        break;
    case MsgButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MsgButtons::RetryCancel:
        set = QMessageBox::Retry | QMessageBox::Cancel;
        break;
    case MsgButtons::AbortRetryIgnore:
        set = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        break;
    }
    box.setStandardButtons(set);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    case QMessageBox::Abort:
        return MsgResult::Abort;
    case QMessageBox::Ignore:
        return MsgResult::Ignore;
    default:
        return MsgResult::Cancel;
    }
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& defaultText)
{
    bool ok = false;
    const QString s = QInputDialog::getText(parentWidget(), title.isEmpty() ? appTitle() : title, prompt,
                                            QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return s;
}

QString toQtFilter(const QString& pipeFilter, int filterIndex, QString* selected)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString entry = parts[i];
        if (!entry.contains(QLatin1Char('(')))
            entry += QStringLiteral(" (") + pattern + QLatin1Char(')');
        out << entry;
        if (selected && (i / 2 + 1) == filterIndex)
            *selected = entry;
    }
    return out.join(QStringLiteral(";;"));
}

namespace {
std::optional<QString> runFileDialog(const FileDialogRequest& req, bool save)
{
    QString selected;
    const QString filter = toQtFilter(req.filter, req.filterIndex, &selected);
    QFileDialog dlg(parentWidget(), req.title, req.initialDir, filter);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!req.defaultExt.isEmpty())
        dlg.setDefaultSuffix(req.defaultExt);
    if (!selected.isEmpty())
        dlg.selectNameFilter(selected);
    if (!req.fileName.isEmpty())
        dlg.selectFile(req.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().constFirst();
}
} // namespace

std::optional<QString> QtDialogs::openFile(const FileDialogRequest& req)
{
    return runFileDialog(req, false);
}
std::optional<QString> QtDialogs::saveFile(const FileDialogRequest& req)
{
    return runFileDialog(req, true);
}

void QtDialogs::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

bool DesktopShell::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
bool DesktopShell::openUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}
bool DesktopShell::startProgram(const QString& program, const QStringList& args)
{
    return QProcess::startDetached(program, args);
}
