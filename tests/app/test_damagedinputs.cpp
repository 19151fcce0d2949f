// Damaged INI and chart files at start-up and close: no crash, no message,
// nothing lost. A damaged file joins with one row of kDamaged (damaged
// databases are the store tests', garbage charts the graph model test's, an
// unwritable log the data log test's).
#include "app/frmmain.h"
#include "support/scripteddialogs.h"
#include "support/shell.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "tests/app/programhome.h"
#include "tests/common/testfiles.h"

namespace {

QByteArray longLine()
{
    return "Comment=" + QByteArray(100 * 1024, 'x') + "\r\n";
}
QByteArray binary()
{
    QByteArray b(512, 0);
    for (int i = 0; i < 512; ++i)
        b[i] = char((i * 37) & 0xFF);
    return b;
}

// A configuration whose graph key can be read whatever else is wrong with it.
QByteArray ini(const QByteArray& damage, const char* eol = "\r\n")
{
    return QByteArray("[Graph]") + eol + "Display=2" + eol + damage + "[Notes]" + eol + "Kept=yes" + eol;
}

struct Damaged {
    const char *name, *file;
    QByteArray (*bytes)();
    // The chart shown after start-up: the INI's 2 where it can be read, 0 otherwise.
    int display;
};

const Damaged kDamaged[] = {
    {"ini_garbage", "DCX700 Comm.ini", [] { return ini("=\r\n[[[\r\n]x[\r\nno equals sign\r\n==\r\n"); }, 2},
    {"ini_100k_line", "DCX700 Comm.ini", [] { return ini(longLine()); }, 2},
    {"ini_binary", "DCX700 Comm.ini", [] { return ini(binary() + "\r\n"); }, 2},
    {"ini_cr_only", "DCX700 Comm.ini", [] { return ini("", "\r"); }, 2},
    {"ini_lf_only", "DCX700 Comm.ini", [] { return ini("", "\n"); }, 2},
    {"ini_not_numbers", "DCX700 Comm.ini",
     [] { return QByteArray("[Graph]\r\nDisplay=two\r\n[DataLog]\r\nEnd=1e99\r\nInterval=-\r\n"); }, 0},
    {"chart_binary", "AVG_DEP.OC2", binary, 2},
};

// Lines of a text with any line ends.
QList<QByteArray> lines(const QByteArray& text)
{
    QList<QByteArray> out = QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    out.removeAll(QByteArray());
    return out;
}

class DamagedInput : public ::testing::TestWithParam<Damaged> {
protected:
    void SetUp() override { setShell(&shell); }
    void TearDown() override { setShell(nullptr); }
    QByteArray read(const QString& name) const { return readFile(home.filePath(name)); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        ASSERT_TRUE(writeFile(home.filePath(name), bytes));
    }

    ProgramHome home;
    RecordingShell shell;
    ScriptedDialogs answers;
    ScopedDialogs useAnswers{answers};
};

TEST_P(DamagedInput, StartsAndClosesLosingNothing)
{
    const Damaged& d = GetParam();
    const QString file = QLatin1String(d.file);
    const QByteArray bytes = d.bytes();
    write(file, bytes);
    if (!file.endsWith(QLatin1String(".ini")))
        write(QStringLiteral("DCX700 Comm.ini"), ini(""));
    {
        frmMain w;
        EXPECT_EQ(w.Display(), d.display);
        w.close();
    }
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.texts().join(QLatin1Char('|')).toStdString();
    const QByteArray after = read(file);
    if (!file.endsWith(QLatin1String(".ini"))) {
        EXPECT_EQ(after, bytes) << "a chart file is only written by its settings window";
        return;
    }
    // Every line the program does not own is still there, byte for byte.
    const QRegularExpression ours(QStringLiteral("^(File|Debug|Type|RS232Port|RS232Device|USBDevice|EPort|"
                                                 "EAddress|CheckSum|UpDn\\w+|Start|End|Interval|Display)="));
    const QList<QByteArray> kept = lines(after);
    for (const QByteArray& l : lines(bytes))
        EXPECT_TRUE(ours.match(QString::fromLatin1(l)).hasMatch() || kept.contains(l) || after.contains(l))
            << "lost: " << l.left(60).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedInput, ::testing::ValuesIn(kDamaged),
                         [](const ::testing::TestParamInfo<Damaged>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
