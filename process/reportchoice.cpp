#include "process/reportchoice.h"

#include "process/processtree.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTitle = QStringLiteral("Print/Export Process");

// A file name from the process name: letters, digits, blanks, "-" and "_".
QString proposedName(const ParameterModel& model, int process)
{
    QString name = model.ProcessTable[size_t(process)].Process_Name.trimmed();
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != u' ' && c != u'-' && c != u'_')
            c = u'_';
    return QStringLiteral("Process %1 %2").arg(process).arg(name).trimmed() + QStringLiteral(".pdf");
}

} // namespace

int ProcessOfKey(const QString& key)
{
    if (key.startsWith(u'P'))
        return GetNum(key, 1);
    if (key.startsWith(u'L') || key.startsWith(u'F'))
        return GetNum(key, 2);
    return 0;
}

ReportChoice ChooseProcessReport(const ParameterModel& model, const QString& selectedKey)
{
    int offered = ProcessOfKey(selectedKey);
    if (offered < 1 || offered > MaxProcesses)
        offered =
            Working().CurProcess >= 1 && Working().CurProcess <= MaxProcesses ? Working().CurProcess : 1;
    const std::optional<QString> typed = dialogs().input(
        QStringLiteral("Process number (1 to %1):").arg(MaxProcesses), kTitle, QString::number(offered));
    if (!typed)
        return {};
    bool ok = false;
    const int process = typed->trimmed().toInt(&ok);
    if (!ok || process < 1 || process > MaxProcesses) {
        dialogs().message(QStringLiteral("There is no process %1: processes are numbered 1 to %2.")
                              .arg(typed->trimmed())
                              .arg(MaxProcesses),
                          MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
        return {};
    }

    const MsgResult how = dialogs().message(
        QStringLiteral(
            "Print the report of process %1 (%2)?\n\nYes prints it; No saves it as a PDF or CSV file.")
            .arg(process)
            .arg(model.ProcessTable[size_t(process)].Process_Name.trimmed()),
        MsgButtons::YesNoCancel, MsgIcon::Question, kTitle);
    if (how == MsgResult::Yes)
        return {ReportChoice::Print, process, {}};
    if (how != MsgResult::No)
        return {};

    FileDialogRequest r;
    r.title = QStringLiteral("Export Process Report");
    r.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|CSV Files (*.csv)|*.csv");
    r.filterIndex = 1;
    r.initialDir = QFileInfo(Config().DBFileName).absolutePath();
    r.fileName = proposedName(model, process);
    r.defaultExt = QStringLiteral("pdf");
    const std::optional<QString> file = dialogs().saveFile(r);
    if (!file || file->isEmpty())
        return {};
    const QString suffix = QFileInfo(*file).suffix().toLower();
    if (suffix == u"csv")
        return {ReportChoice::Csv, process, *file};
    return {ReportChoice::Pdf, process, suffix.isEmpty() ? *file + QStringLiteral(".pdf") : *file};
}

ProcessReport WindowProcessReport(const ParameterModel& model, int process)
{
    ProcessReport report = BuildProcessReport(model, process);
    report.source = Config().DBFileName;
    report.printed = appClock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return report;
}

bool SaveProcessReport(const ParameterModel& model, const ReportChoice& choice,
                       bool (*writePdf)(const ProcessReport&, const QString&, QString*, int*))
{
    if (choice.kind != ReportChoice::Pdf && choice.kind != ReportChoice::Csv)
        return false;
    BusyCursor busy;
    const ProcessReport report = WindowProcessReport(model, choice.process);
    QString why;
    const bool ok = choice.kind == ReportChoice::Csv ? WriteProcessReportCsv(report, choice.path, &why)
                                                     : writePdf(report, choice.path, &why, nullptr);
    if (!ok)
        dialogs().message(QStringLiteral("The report could not be written to %1: %2")
                              .arg(QDir::toNativeSeparators(choice.path), why),
                          MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
    return ok;
}
