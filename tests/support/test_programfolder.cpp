// Which folder a program runs from, and how an installed program's per-user
// folder is filled from the shipped defaults.
#include "support/programfolder.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProgramFolder, ChoosesBuildTreeHomeOrPerUserFolder)
{
    QTemporaryDir t;
    const QString build = t.filePath("build/bin");
    const QString installed = t.filePath("root/usr/bin");
    const QString shared = t.filePath("root/usr/share/dcx700-comm");
    const QString data = t.filePath("home/.local/share");
    for (const QString& folder : {build, installed, shared})
        QDir().mkpath(folder);

    struct Case {
        const char* what;
        QString home, exeDir, folder, defaults;
    };
    const Case cases[] = {
        {"build tree keeps its own folder", {}, build, build, {}},
        {"--home wins over the build tree", t.filePath("h"), build, t.filePath("h"), {}},
        {"installed: per-user folder from share", {}, installed, data + "/dcx700-comm", shared},
    };
    for (const Case& c : cases) {
        const ProgramFolderChoice got = ChooseProgramFolder(c.home, c.exeDir, data);
        EXPECT_EQ(QDir::cleanPath(got.folder), QDir::cleanPath(c.folder)) << c.what;
        EXPECT_EQ(QDir::cleanPath(got.defaults), QDir::cleanPath(c.defaults)) << c.what;
    }
}

// A build tree the user may not write (a read-only mount) fills a per-user
// folder from its own files.
TEST(ProgramFolder, UnwritableProgramFolderUsesPerUserFolder)
{
    QTemporaryDir t;
    const QString build = t.filePath("build/bin");
    const QString data = t.filePath("home/.local/share");
    QDir().mkpath(build);
    QFile::setPermissions(build, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(build).isWritable())
        GTEST_SKIP() << "permissions do not apply to this user";
    const ProgramFolderChoice got = ChooseProgramFolder({}, build, data);
    QFile::setPermissions(build, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(got.folder, data + "/dcx700-comm") << "folder";
    EXPECT_EQ(got.defaults, build) << "defaults";
}

TEST(ProgramFolder, FillsPerUserFolderKeepingTheUsersSettings)
{
    QTemporaryDir t;
    const QString shared = t.filePath("share");
    for (const char* name :
         {"DCX700 Comm.ini", "AVG_DEP.OC2", "CH_DEP.OC2", "DCX700 Comm.html", "guide/main.png"})
        ASSERT_TRUE(writeFile(shared + "/" + name, QByteArray("shipped ") + name));
    ASSERT_TRUE(writeFile(shared + "/notes.txt", "not a default"));
    // shipped files are read-only, as under /usr
    QFile::setPermissions(shared + "/DCX700 Comm.ini", QFileDevice::ReadOwner | QFileDevice::ReadOther);

    // First start: the folder is made with every default.
    const QString user = t.filePath("data/dcx700-comm");
    QString error;
    ASSERT_TRUE(CopyShippedDefaults(shared, user, &error)) << error.toStdString();
    for (const char* name :
         {"DCX700 Comm.ini", "AVG_DEP.OC2", "CH_DEP.OC2", "DCX700 Comm.html", "guide/main.png"})
        EXPECT_EQ(readFile(user + "/" + name), QByteArray("shipped ") + name) << name;
    EXPECT_FALSE(QFile::exists(user + "/notes.txt"));
    EXPECT_TRUE(QFileInfo(user + "/DCX700 Comm.ini").isWritable());

    // Later start after the user changed settings and the package changed
    // every file: settings stay the user's, the guide follows the package,
    // a deleted chart file comes back.
    ASSERT_TRUE(writeFile(user + "/DCX700 Comm.ini", "[Graph]\r\nDisplay=2\r\n"));
    ASSERT_TRUE(writeFile(user + "/AVG_DEP.OC2", "user chart"));
    QFile::remove(user + "/CH_DEP.OC2");
    ASSERT_TRUE(writeFile(user + "/DCX700.mdb", "user database"));
    QFile::setPermissions(shared + "/DCX700 Comm.ini", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    for (const char* name :
         {"DCX700 Comm.ini", "AVG_DEP.OC2", "CH_DEP.OC2", "DCX700 Comm.html", "guide/main.png"}) {
        ASSERT_TRUE(writeFile(shared + "/" + name, QByteArray("new ") + name));
        QFile f(shared + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
    }
    ASSERT_TRUE(CopyShippedDefaults(shared, user, &error)) << error.toStdString();
    for (auto [name, bytes] : {std::pair("DCX700 Comm.ini", "[Graph]\r\nDisplay=2\r\n"),
                               {"AVG_DEP.OC2", "user chart"},
                               {"CH_DEP.OC2", "new CH_DEP.OC2"},
                               {"guide/main.png", "new guide/main.png"},
                               {"DCX700.mdb", "user database"}})
        EXPECT_EQ(readFile(user + "/" + name), bytes) << name;
}
