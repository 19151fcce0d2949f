// dcx700ctl report: what it refuses before touching any file.
#include "tests/cli/clitestkit.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CliReport, UsageAndFileErrors)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("DCX700.mdb");
    QFile f(db);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)); // exists; never read when the usage is wrong
    f.close();
    const QString out = dir.filePath("r.pdf");
    struct Case {
        QStringList args;
        int exit;
    };
    const Case cases[] = {
        {{"report", "--process", "1", "--pdf", out}, 64},                              // no --db
        {{"report", "--db", db, "--pdf", out}, 64},                                    // no --process
        {{"report", "--db", db, "--process", "0", "--pdf", out}, 64},                  // out of range
        {{"report", "--db", db, "--process", "101", "--csv", out}, 64},
        {{"report", "--db", db, "--process", "x", "--pdf", out}, 64},
        {{"report", "--db", db, "--process", "1"}, 64},                                // no output
        {{"report", "--db", db, "--process", "1", "--pdf", out, "--csv", out}, 64},    // two outputs
        {{"report", "--db", db, "--process", "1", "--pdf", out, "extra"}, 64},
        {{"report", "--db", dir.filePath("missing.mdb"), "--process", "1", "--pdf", out}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const clitest::CtlRun run = clitest::runCtl(dir.path(), c.args);
        EXPECT_EQ(run.exitCode, c.exit) << run.err.constData();
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_FALSE(QFile::exists(out));
    }
}
