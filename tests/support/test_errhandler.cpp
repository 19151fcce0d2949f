#include "support/clock.h"
#include "support/errhandler.h"
#include "support/modutil.h"
#include "support/programfolder.h"
#include "support/scripteddialogs.h"
#include "tests/common/programfolder_env.h"
#include "tests/common/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class ErrHandlerTest : public ::testing::Test {
protected:
    ErrHandlerTest() : dialogsScope(dlg), clockScope(clock)
    {
        SetProgramFolder(dir.path());
        QCoreApplication::setApplicationName(QStringLiteral("DCX700 Comm"));
        QCoreApplication::setOrganizationName(QStringLiteral("Acme Films"));
        // The version text as shown; the report prints the numbers of 1.1.0.
        QCoreApplication::setApplicationVersion(QStringLiteral("1.10"));
    }
    ~ErrHandlerTest() override { SetProgramFolder(dcxTestProgramFolder()); }

    QByteArray errorFile() const { return readFile(dir.filePath(QStringLiteral("ERRORS.TXT"))); }

    QTemporaryDir dir;
    ScriptedDialogs dlg;
    ScopedDialogs dialogsScope;
    FakeClock clock;
    ScopedClock clockScope;
};

const QString kOverflow = QStringLiteral("Non Fatal Error:\nError Stack Overflow.");
const QString kUnderflow = QStringLiteral("Non Fatal Error:\nError Stack Underflow.");

} // namespace

TEST_F(ErrHandlerTest, StackOverflowKeepsTheFirstNamesAndUnderflowStopsAtZero)
{
    CErrHandler h;
    for (int i = 1; i <= 101; ++i)
        h.Push(QStringLiteral("proc%1").arg(i));
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text, kOverflow) << "messages[0].text";
    EXPECT_EQ(dlg.messages[0].icon, MsgIcon::Information) << "messages[0].icon";
    EXPECT_EQ(h.StackIndex(), 101) << "StackIndex";
    const QStringList names = h.ProcedureStack();
    ASSERT_EQ(names.size(), 100);
    EXPECT_EQ(names.front(), "proc1") << "front";
    EXPECT_EQ(names.back(), "proc100") << "back";
    // Every push is matched by a pop, the overflowing one too.
    for (int i = 0; i < 101; ++i)
        h.Pop();
    EXPECT_EQ(h.StackIndex(), 0) << "StackIndex";
    h.Pop();
    EXPECT_EQ(h.StackIndex(), 0);
    ASSERT_EQ(dlg.messages.size(), 2);
    EXPECT_EQ(dlg.messages[1].text, kUnderflow);
    // After the underflow the stack works as before.
    h.Push(QStringLiteral("again"));
    EXPECT_EQ(h.TopProcedure(), "again");
    h.Pop();
}

TEST_F(ErrHandlerTest, ReportIsAppendedToTheErrorFileAndShown)
{
    CErrHandler h;
    h.Push(QStringLiteral("frmProcess_Form_Load"));
    h.Push(QStringLiteral("modDatabase_DBOpen"));
    h.HandleError(3021, QStringLiteral("No current record."), 120);

    const QByteArray expected =
        "DCX700 Comm Application Error Information\r\n====================================\r\n"
        "Current Time   : 2026-01-01 10:00:00\r\nError String   : No current record.\r\nError Number   : "
        "3021\r\n"
        "Error Line     : 120\r\nError Procedure: modDatabase_DBOpen\r\n\r\n"
        "Procedure Stack\r\n---------------\r\n01 frmProcess_Form_Load\r\n02 modDatabase_DBOpen\r\n\r\n"
        "Additional Information\r\n----------------------\r\nCurrent Directory: " +
        QDir::currentPath().toUtf8() +
        "\r\nApp Title: DCX700 Comm\r\nApp CompanyName: Acme Films\r\nApp Major: 1\r\nApp Minor: 1\r\n"
        "App Revision: 0\r\nApp Path: " +
        dir.path().toUtf8() + "\r\nApp ProductName: DCX700 Comm\r\n\r\n";
    EXPECT_EQ(errorFile(), expected);

    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text,
              "The following error has occurred in procedure: \nmodDatabase_DBOpen on line 120\n"
              "Error (3021) No current record.");
    EXPECT_EQ(dlg.messages[0].icon, MsgIcon::Critical) << "messages[0].icon";
    EXPECT_EQ(dlg.messages[0].title, QString("DCX700 Comm")) << "messages[0].title";

    // A second error is appended after the first, here without the expanded block.
    h.Pop();
    h.setIncludeExpandedInfo(false);
    h.setCurrentOperation(QStringLiteral("Reading layers"));
    clock.advance(61);
    h.HandleError(-2147217900, QStringLiteral("Syntax error"));
    // modDatabase_DBOpen was popped and is still listed.
    const QByteArray second =
        "DCX700 Comm Application Error Information\r\n====================================\r\n"
        "Current Time   : 2026-01-01 10:01:01\r\nError String   : Syntax error\r\nError Number   : "
        "-2147217900\r\n"
        "Error Line     : 0\r\nError Procedure: frmProcess_Form_Load\r\n\r\n"
        "Procedure Stack\r\n---------------\r\n01 frmProcess_Form_Load\r\n02 modDatabase_DBOpen\r\n"
        "Current Operation: Reading layers\r\n";
    EXPECT_EQ(errorFile(), expected + second);
    ASSERT_EQ(dlg.messages.size(), 2);
    EXPECT_EQ(dlg.messages[1].text,
              "The following error has occurred in procedure: \nfrmProcess_Form_Load on line <unknown>\n"
              "Error (-2147217900) Syntax error\nCurrent Operation: Reading layers");
    h.Pop();
    EXPECT_EQ(h.StackIndex(), 0);

    EXPECT_TRUE(h.ClearLog());
    EXPECT_FALSE(QFile::exists(h.Destination()));
    EXPECT_TRUE(h.ClearLog()); // a missing file is no error
}

TEST_F(ErrHandlerTest, TraceFileAndTerminationReport)
{
    const QString trace = dir.filePath(QStringLiteral("trace.log"));
    ASSERT_TRUE(writeFile(trace, "old run\r\n"));
    {
        CErrHandler h;
        h.Push(QStringLiteral("before"));
        h.setTraceExecution(true);
        {
            ProcedureScope a(QStringLiteral("modDatabase_DBOpen"), h);
            ProcedureScope b(QStringLiteral("modDatabase_LoadLayers"), h);
            EXPECT_EQ(h.StackIndex(), 3);
        }
        EXPECT_EQ(h.StackIndex(), 1);
        h.Push(QStringLiteral("frmMain_Form_QueryUnload"));
        EXPECT_TRUE(dlg.messages.isEmpty());
    } // ends with two names registered
    EXPECT_EQ(readFile(trace),
              "modDatabase_DBOpen\r\nmodDatabase_LoadLayers\r\nfrmMain_Form_QueryUnload\r\n");
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text,
              "Non Fatal Error:\nError Trace Stack = 2 on Terminate.\nProcedure: frmMain_Form_QueryUnload");
    EXPECT_EQ(dlg.messages[0].icon, MsgIcon::Information);
}
