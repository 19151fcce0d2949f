// The about window, the system-information button and the progress window.
#include "app/frmabout.h"
#include "app/frmsplash.h"
#include "app/modabout.h"
#include "support/progress.h"
#include "support/scripteddialogs.h"
#include "support/shell.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override { setShell(&recorder); }
    void TearDown() override { setShell(nullptr); }

    // An executable file named name in folder.
    static void fakeProgram(const QTemporaryDir& folder, const QString& name)
    {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    RecordingShell recorder;
    ScriptedDialogs answers;
    ScopedDialogs installAnswers{answers};
};

TEST_F(AboutWindow, ShowsTitleAndVersion)
{
    EXPECT_EQ(VersionText(1, 1, 0), "1.10");
    EXPECT_EQ(VersionText(2, 0, 3), "2.03");
    EXPECT_EQ(ProgramVersionText(), "1.10");
    EXPECT_TRUE(VersionLabel(QDate(2026, 3, 4)).startsWith(QStringLiteral("Version 1.10 ")));
    EXPECT_EQ(VersionLabel(QDate()), "Version 1.10");

    frmAbout about;
    EXPECT_EQ(about.windowTitle(), "About DCX700 Comm");
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), "DCX700 Comm");
    EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text().startsWith(QStringLiteral("Version 1.10")));
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("lblDescription"))->text().isEmpty());
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
}

TEST_F(AboutWindow, SystemInformationStartsTheFirstProgramFound)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    frmAbout about;
    about.setSearchPaths({bin.path()});
    QPushButton* sysInfo = about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    ASSERT_NE(sysInfo, nullptr);

    // Nothing installed: the message, and nothing starts.
    sysInfo->click();
    EXPECT_TRUE(recorder.programs.isEmpty());
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_EQ(answers.messages.first().text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(answers.messages.first().buttons, MsgButtons::Ok);

    // A file that is not executable does not count; of two programs the better one starts.
    QFile plain(bin.filePath(QStringLiteral("hardinfo")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    fakeProgram(bin, QStringLiteral("xfce4-taskmanager"));
    fakeProgram(bin, QStringLiteral("gnome-system-monitor"));
    sysInfo->click();
    ASSERT_EQ(recorder.programs.size(), 1);
    EXPECT_EQ(recorder.programs.first(), bin.filePath(QStringLiteral("gnome-system-monitor")));
    EXPECT_EQ(answers.messages.size(), 1) << "no message when a program starts";

    // A program that will not start is reported like a missing one.
    recorder.result = false;
    sysInfo->click();
    EXPECT_EQ(answers.messages.size(), 2);
}

TEST(ProgressWindow, ReportsThroughTheProgressSeam)
{
    QWidget owner;
    owner.show();
    QApplication::setActiveWindow(&owner);
    frmSplash splash(&owner);
    EXPECT_EQ(splash.windowTitle(), "Loading");
    auto* bar = splash.findChild<QProgressBar*>(QStringLiteral("prgLoadStat"));
    auto* label1 = splash.findChild<QLabel*>(QStringLiteral("Label1"));
    auto* label2 = splash.findChild<QLabel*>(QStringLiteral("Label2"));
    ASSERT_TRUE(bar && label1 && label2);

    ScopedProgress install(splash);
    progress().setLabel1(QStringLiteral("left over"));
    progress().setRange(0, 200);
    progress().setValue(150);
    progress().show(QStringLiteral("Opening Database"));
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.windowTitle(), "Opening Database");
    EXPECT_EQ(bar->value(), 0) << "showing starts the bar at 0";
    EXPECT_EQ(label1->text(), "") << "and empties the first label";
    EXPECT_EQ(splash.cursor().shape(), Qt::WaitCursor);

    progress().setLabel1(QStringLiteral("Processes"));
    progress().setLabel2(QStringLiteral("12 of 100"));
    progress().setValue(120);
    EXPECT_EQ(label1->text(), "Processes");
    EXPECT_EQ(label2->text(), "12 of 100");
    EXPECT_EQ(bar->value(), 120);
    EXPECT_FALSE(owner.isEnabled()) << "the window that asked waits";

    progress().hide();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_NE(splash.cursor().shape(), Qt::WaitCursor);
}

} // namespace
