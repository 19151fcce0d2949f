#ifndef DCX_SUPPORT_ERRHANDLER_H
#define DCX_SUPPORT_ERRHANDLER_H

#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

// The program's central error reporter. Larger procedures register their name
// with Push on entry and Pop on exit (see ProcedureScope); their error path
// calls HandleError, which appends a report to the error file and shows it.
class CErrHandler : public QObject {
    Q_OBJECT
public:
    explicit CErrHandler(QObject* parent = nullptr);
    ~CErrHandler() override;

    // The error file. Empty (the default) means "ERRORS.TXT" in the program folder.
    QString Destination() const;
    void setDestination(const QString& fileName);

    bool DisplayMsgOnError() const { return displayMsgOnError_; }
    void setDisplayMsgOnError(bool on) { displayMsgOnError_ = on; }

    bool IncludeExpandedInfo() const { return includeExpandedInfo_; }
    void setIncludeExpandedInfo(bool on) { includeExpandedInfo_ = on; }

    // Capacity of the procedure stack; setting it also empties the stack.
    qint16 MaxProcStackItems() const { return maxProcStackItems_; }
    void setMaxProcStackItems(qint16 n);

    // Writes every pushed name to "trace.log" in the program folder; switching
    // it on starts a new file.
    bool TraceExecution() const { return traceExecution_; }
    void setTraceExecution(bool on);

    // Title of the error message box; empty means the application title.
    QString MessageTitle() const { return messageTitle_; }
    void setMessageTitle(const QString& title) { messageTitle_ = title; }

    // Optional text added to reports ("Current Operation: ...").
    QString CurrentOperation() const { return currentOperation_; }
    void setCurrentOperation(const QString& text) { currentOperation_ = text; }

    // Deletes the error file (a missing file is no error). Returns true.
    bool ClearLog();
    // Records, reports and shows an error of the procedure on top of the stack.
    // line: the failing line, none when unknown.
    void HandleError(qint32 number, const QString& description, std::optional<qint32> line = std::nullopt);
    void Push(const QString& procedure);
    void Pop();

    // The last handled error.
    qint32 ErrorNumber() const { return errNumber_; }
    std::optional<qint32> ErrorLine() const { return errLine_; }
    QString ErrorString() const { return errString_; }
    QString ErrorProcedure() const { return errProcedure_; }

    // Index of the top entry (0 = empty stack) and the names registered, bottom first.
    int StackIndex() const { return stackIndex_; }
    QStringList ProcedureStack() const;
    // The name on top of the stack, "" when none.
    QString TopProcedure() const;

    // The report text HandleError appends to the error file (CR LF line ends).
    QString FileReport() const;
    // The text of the message box HandleError shows.
    QString MessageText() const;

signals:
    // Raised before anything is logged or shown; set *cancel to true to suppress both.
    void BeforeLog(bool* cancel);

private:
    QString appTitle() const;
    void openTrace();
    void reportTermination();

    qint16 maxProcStackItems_ = 100;
    bool includeExpandedInfo_ = true;
    bool displayMsgOnError_ = true;
    bool traceExecution_ = false;
    qint32 errNumber_ = 0;
    std::optional<qint32> errLine_;
    QString errString_;
    QString errProcedure_;
    QString messageTitle_;
    QString destination_;
    QString currentOperation_;
    QVector<QString> stack_;
    int stackIndex_ = 0;
    std::unique_ptr<QFile> trace_;
    bool quietTermination_ = false;

    friend void EndErrHandler();
    friend struct ErrHandlerHolder;
};

// The one program-wide error handler, created on first use.
CErrHandler& ErrHandler();
// Destroys the program-wide handler now (reporting a non-empty stack), as the
// program does when it ends. The next ErrHandler() creates a fresh one.
void EndErrHandler();

// Registers a procedure for the lifetime of this object: Push on construction,
// Pop on destruction, so every return path pops.
class ProcedureScope {
public:
    explicit ProcedureScope(const QString& procedure, CErrHandler& handler = ErrHandler());
    ~ProcedureScope();
    ProcedureScope(const ProcedureScope&) = delete;
    ProcedureScope& operator=(const ProcedureScope&) = delete;

private:
    CErrHandler& handler_;
};

#endif
