#include "support/errhandler.h"

#include "support/clock.h"
#include "support/dialogs.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

const QString kNewLine = QStringLiteral("\r\n");

QString nonFatal(const QString& text)
{
    return QStringLiteral("Non Fatal Error:\n") + text;
}

QString twoDigits(int n)
{
    return n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n);
}

} // namespace

CErrHandler::CErrHandler(QObject* parent) : QObject(parent), stack_(maxProcStackItems_ + 3) {}

CErrHandler::~CErrHandler()
{
    trace_.reset();
    reportTermination();
}

void CErrHandler::reportTermination()
{
    if (stackIndex_ == 0)
        return;
    const QString text = nonFatal(QStringLiteral("Error Trace Stack = ") + QString::number(stackIndex_) +
                                  QStringLiteral(" on Terminate.\nProcedure: ") + TopProcedure());
    if (quietTermination_) {
        // Too late in the program's end for a window: say it on stderr.
        std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return;
    }
    dialogs().message(text, MsgButtons::Ok, MsgIcon::Information);
}

QString CErrHandler::Destination() const
{
    // Reports go to a text file only; no database table destination is needed.
    // There is no drive root to write to, so the default file sits in the program folder.
    return destination_.isEmpty() ? ProgramFile(QStringLiteral("ERRORS.TXT")) : destination_;
}

void CErrHandler::setDestination(const QString& fileName)
{
    destination_ = fileName;
}

void CErrHandler::setMaxProcStackItems(qint16 n)
{
    maxProcStackItems_ = n < 0 ? qint16(0) : n;
    stack_ = QVector<QString>(maxProcStackItems_ + 3);
    stackIndex_ = 0;
}

void CErrHandler::setTraceExecution(bool on)
{
    traceExecution_ = on;
    trace_.reset();
    if (!on)
        return;
    const QString name = ProgramFile(QStringLiteral("trace.log"));
    QFile::remove(name);
    auto f = std::make_unique<QFile>(name);
    if (f->open(QIODevice::WriteOnly | QIODevice::Truncate))
        trace_ = std::move(f);
}

bool CErrHandler::ClearLog()
{
    QFile::remove(Destination());
    return true;
}

void CErrHandler::Push(const QString& procedure)
{
    ++stackIndex_;
    if (stackIndex_ <= maxProcStackItems_)
        stack_[stackIndex_] = procedure;
    else
        dialogs().message(nonFatal(QStringLiteral("Error Stack Overflow.")), MsgButtons::Ok,
                          MsgIcon::Information);
    if (traceExecution_ && trace_) {
        trace_->write(procedure.toUtf8() + "\r\n");
        trace_->flush();
    }
}

void CErrHandler::Pop()
{
    // Only the index moves: names above it stay and are reported with the
    // stack, which shows the procedures an error came through.
    --stackIndex_;
    if (stackIndex_ < 0) {
        dialogs().message(nonFatal(QStringLiteral("Error Stack Underflow.")), MsgButtons::Ok,
                          MsgIcon::Information);
        stackIndex_ = 0;
    }
}

QString CErrHandler::TopProcedure() const
{
    return (stackIndex_ >= 0 && stackIndex_ < stack_.size()) ? stack_[stackIndex_] : QString();
}

QStringList CErrHandler::ProcedureStack() const
{
    QStringList names;
    for (const QString& s : stack_)
        if (!s.isEmpty())
            names << s;
    return names;
}

QString CErrHandler::appTitle() const
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("DCX700 Comm") : name;
}

void CErrHandler::HandleError(qint32 number, const QString& description, std::optional<qint32> line)
{
    errNumber_ = number;
    errLine_ = line;
    errString_ = description;
    errProcedure_ = TopProcedure();
    if (messageTitle_.isEmpty())
        messageTitle_ = appTitle();

    bool cancel = false;
    emit BeforeLog(&cancel);
    if (cancel)
        return;

    // Failures while writing the report are ignored: the message still comes.
    QFile f(Destination());
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write(FileReport().toUtf8());

    if (displayMsgOnError_)
        dialogs().message(MessageText(), MsgButtons::Ok, MsgIcon::Critical, messageTitle_);
}

QString CErrHandler::FileReport() const
{
    QStringList l;
    l << appTitle() + QStringLiteral(" Application Error Information");
    l << QStringLiteral("====================================");
    l << QStringLiteral("Current Time   : ") +
             appClock().now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    l << QStringLiteral("Error String   : ") + errString_;
    l << QStringLiteral("Error Number   : ") + QString::number(errNumber_);
    l << QStringLiteral("Error Line     : ") + QString::number(errLine_.value_or(0));
    l << QStringLiteral("Error Procedure: ") + errProcedure_;
    l << QString() << QStringLiteral("Procedure Stack") << QStringLiteral("---------------");
    for (int i = 0; i < stack_.size(); ++i)
        if (!stack_[i].isEmpty())
            l << twoDigits(i) + QLatin1Char(' ') + stack_[i];
    if (!currentOperation_.isEmpty())
        l << QStringLiteral("Current Operation: ") + currentOperation_;
    if (includeExpandedInfo_) {
        l << QString() << QStringLiteral("Additional Information")
          << QStringLiteral("----------------------");
        l << QStringLiteral("Current Directory: ") + QDir::currentPath();
        l << QStringLiteral("App Title: ") + appTitle();
        l << QStringLiteral("App CompanyName: ") + QCoreApplication::organizationName();
        // The build's numbers: the version text shown elsewhere ("1.10")
        // runs minor and revision together.
        l << QStringLiteral("App Major: ") + QString::number(DCX_VERSION_MAJOR);
        l << QStringLiteral("App Minor: ") + QString::number(DCX_VERSION_MINOR);
        l << QStringLiteral("App Revision: ") + QString::number(DCX_VERSION_PATCH);
        l << QStringLiteral("App Path: ") + ProgramFolder();
        l << QStringLiteral("App ProductName: ") + appTitle();
        l << QString();
    }
    return l.join(kNewLine) + kNewLine;
}

QString CErrHandler::MessageText() const
{
    QString text = QStringLiteral("The following error has occurred in procedure: \n") + errProcedure_ +
                   QStringLiteral(" on line ") +
                   (errLine_ ? QString::number(*errLine_) : QStringLiteral("<unknown>")) + QLatin1Char('\n') +
                   QStringLiteral("Error (") + QString::number(errNumber_) + QStringLiteral(") ") +
                   errString_;
    if (!currentOperation_.isEmpty())
        text += QLatin1Char('\n') + QStringLiteral("Current Operation: ") + currentOperation_;
    return text;
}

struct ErrHandlerHolder {
    std::unique_ptr<CErrHandler> handler;
    ~ErrHandlerHolder()
    {
        if (handler)
            handler->quietTermination_ = true;
    }
};

namespace {
ErrHandlerHolder& holder()
{
    static ErrHandlerHolder h;
    return h;
}
} // namespace

CErrHandler& ErrHandler()
{
    auto& h = holder();
    if (!h.handler)
        h.handler = std::make_unique<CErrHandler>();
    return *h.handler;
}

void EndErrHandler()
{
    holder().handler.reset();
}

ProcedureScope::ProcedureScope(const QString& procedure, CErrHandler& handler) : handler_(handler)
{
    handler_.Push(procedure);
}

ProcedureScope::~ProcedureScope()
{
    handler_.Pop();
}
