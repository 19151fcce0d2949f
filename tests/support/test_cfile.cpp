#include "support/cfile.h"
#include "support/scripteddialogs.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Makes a file or folder refuse writes and new entries while it lives, for
// root too: permission bits, and the immutable flag where the file system
// and our privileges allow it. locked() says whether it worked here.
class Locked {
public:
    explicit Locked(const QString& path) : path_(path), perms_(QFile::permissions(path))
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ReadOther);
        setImmutable(true);
    }
    ~Locked()
    {
        setImmutable(false);
        QFile::setPermissions(path_, perms_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    void setImmutable(bool on)
    {
        const int fd = ::open(path_.toLocal8Bit().constData(), O_RDONLY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }

    QString path_;
    QFile::Permissions perms_;
};

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("DCX700 Comm.ini")); }

    QByteArray readBytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // A cFile on the test file holding bytes.
    cFile open(const QByteArray& bytes)
    {
        QFile f(path());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << "f.open(QIODevice::WriteOnly)";
        EXPECT_TRUE(f.write(bytes) == bytes.size()) << "f.write(bytes) == bytes.size()";
        f.close();
        cFile ini;
        ini.setFileName(path());
        return ini;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFileTest, LooksUpNamesWithoutCaseAndValuesWithoutBlanks)
{
    cFile ini = open("; settings\r\n[Database]\r\n  File =  my data.mdb  \r\nDebug=1\r\n"
                     "[CommSettings]\r\nType=2\r\nQuoted=\"  a b \"\r\nFile=other.mdb\r\n");
    EXPECT_EQ(ini.FileName(), path());
    // Matching quotes around a value are not part of it. A key of another
    // section, a missing key, a missing section: the default.
    const char* const reads[][4] = {
        {"database", "FILE", "x.mdb", "my data.mdb"},
        {"COMMSETTINGS", "type", "0", "2"},
        {"CommSettings", "File", "", "other.mdb"},
        {"CommSettings", "Quoted", "", "  a b "},
        {"Database", "Type", "0", "0"},
        {"Graph", "Display", "0", "0"},
    };
    for (const auto& r : reads)
        EXPECT_EQ(ini.ReadIniStr(r[0], r[1], r[2]), r[3]) << r[0] << "/" << r[1];
    // The first of two sections with one name is the one read.
    cFile dup = open("[A]\r\nk=first\r\n[a]\r\nk=second\r\n");
    EXPECT_EQ(dup.ReadIniStr("A", "k"), "first");
}

TEST_F(IniFileTest, TypedReads)
{
    cFile ini =
        open("[S]\r\nb1=yes\r\nb2=On\r\nb3=1\r\nb4=TRUE\r\nf1=2\r\nf2=Y\r\nf3=T\r\nf4=\r\nf5=false\r\n"
             "s1=12.5 s\r\ns2=1,5\r\ns3=abc\r\ni1=123\r\ni2=-5\r\ni3=40000\r\ni4=abc\r\ni5=-32768\r\n");
    for (const char* k : {"b1", "b2", "b3", "b4"})
        EXPECT_TRUE(ini.ReadIniBool("S", k, "false")) << k;
    for (const char* k : {"f1", "f2", "f3", "f4", "f5"})
        EXPECT_FALSE(ini.ReadIniBool("S", k, "false")) << k;
    // A missing key tests the default text like a stored one.
    EXPECT_TRUE(ini.ReadIniBool("S", "missing", "true")) << "ini.ReadIniBool('S', 'missing', 'true')";
    EXPECT_FALSE(ini.ReadIniBool("S", "missing", "no")) << "ini.ReadIniBool('S', 'missing', 'no')";

    const std::tuple<const char*, float, float> singles[] = {{"missing", 2.5f, 2.5f},
                                                             {"s1", 0.0f, 12.5f},
                                                             {"s2", 0.0f, 1.0f},
                                                             {"s3", 7.0f, 0.0f},
                                                             {"f4", 7.0f, 7.0f}};
    for (const auto& [key, dflt, want] : singles)
        EXPECT_FLOAT_EQ(ini.ReadIniSingle("S", key, dflt), want) << key;

    const std::pair<const char*, std::optional<qint16>> ints[] = {
        {"i1", 123}, {"i2", -5}, {"i3", std::nullopt}, {"i4", 0}, {"i5", -32768}, {"missing", 9}};
    for (const auto& [key, want] : ints)
        EXPECT_EQ(ini.ReadIniInt("S", key, 9), want) << key;
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNeverCreated)
{
    cFile ini;
    ini.setFileName(path());
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_EQ(ini.ReadIniStr("Database", "File", "DCX700.mdb"), "DCX700.mdb");
    EXPECT_TRUE(ini.ReadIniBool("S", "k", "yes"));
    EXPECT_EQ(ini.WriteIniStr("Database", "File", "x.mdb"), 0);
    EXPECT_EQ(ini.LastResult(), 0) << "LastResult";
    EXPECT_EQ(ini.ClearIniSection("Database"), 0) << "ini.ClearIniSection('Database')";
    EXPECT_FALSE(QFile::exists(path()));
    // A folder is not a file either.
    ini.setFileName(dir.path());
    EXPECT_EQ(ini.FileName(), "");
}

TEST_F(IniFileTest, WritesTheProfileLayout)
{
    cFile ini = open("");
    ASSERT_EQ(ini.FileName(), path());
    EXPECT_NE(ini.WriteIniStr("Database", "File", "DCX700.mdb"), 0);
    EXPECT_NE(ini.WriteIniStr("Database", "Debug", "0"), 0);
    EXPECT_NE(ini.WriteIniStr("CommSettings", "Type", "2"), 0);
    EXPECT_EQ(readBytes(), "[Database]\r\nFile=DCX700.mdb\r\nDebug=0\r\n\r\n[CommSettings]\r\nType=2\r\n");
    // A new key of an earlier section goes before the empty line that ends it;
    // a replaced value keeps the file's spelling of the key.
    EXPECT_NE(ini.WriteIniStr("DATABASE", "new", "x"), 0);
    EXPECT_NE(ini.WriteIniStr("database", "FILE", "other.mdb"), 0);
    EXPECT_EQ(readBytes(),
              "[Database]\r\nFile=other.mdb\r\nDebug=0\r\nnew=x\r\n\r\n[CommSettings]\r\nType=2\r\n");
    // Blanks written around a value are not read back.
    EXPECT_NE(ini.WriteIniStr("CommSettings", "Address", "  192.168.1.200 "), 0);
    EXPECT_EQ(ini.ReadIniStr("CommSettings", "Address"), "192.168.1.200");
}

TEST_F(IniFileTest, ClearSectionAndRefusedWrites)
{
    const QByteArray before = "[A]\r\na=1\r\n[B]\r\nb=2\r\nc=3\r\n[C]\r\nd=4\r\n";
    cFile ini = open(before);
    // Values or names that would break the line structure are refused untouched.
    for (auto [sec, key, value] : {std::tuple("A", "a", "1\r\n[Evil]"), {"A", "k=v", "1"}, {"", "k", "1"}})
        EXPECT_EQ(ini.WriteIniStr(sec, key, value), 0) << key;
    EXPECT_EQ(readBytes(), before);
    // Clearing a section that is not there changes nothing and succeeds.
    EXPECT_NE(ini.ClearIniSection("Z"), 0);
    EXPECT_EQ(readBytes(), before);
    EXPECT_NE(ini.ClearIniSection("b"), 0);
    EXPECT_EQ(readBytes(), "[A]\r\na=1\r\n[C]\r\nd=4\r\n");
    EXPECT_EQ(ini.ReadIniStr("B", "b", "gone"), "gone");
}

TEST_F(IniFileTest, GarbageFilesNeverLoseOtherValuesOnWrite)
{
    // Seeded, so every run sees the same files.
    QRandomGenerator rng(20261205);
    const QList<QByteArray> pieces{"[",  "]",    "=",        " ",   "\t",   ";",  "\"",   "'",
                                   "a",  "B",    "k",        "S",   "1",    ",",  "\r\n", "\n",
                                   "\r", "\xE9", "\xC3\xA9", "[S]", "[s ]", "k=", "K = v"};
    const QStringList names{"S", "s", "a", "B", "k", "K", "aB"};
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes;
        const int n = rng.bounded(40);
        for (int i = 0; i < n; ++i)
            bytes += pieces[rng.bounded(pieces.size())];
        cFile ini = open(bytes);
        ASSERT_EQ(ini.FileName(), path());
        QMap<QString, QString> before;
        for (const QString& sec : names)
            for (const QString& key : names)
                before[sec + "/" + key] = ini.ReadIniStr(sec, key, "<none>");

        const QString sec = names[rng.bounded(names.size())];
        const QString key = names[rng.bounded(names.size())];
        ASSERT_NE(ini.WriteIniStr(sec, key, "written"), 0) << bytes.toStdString();
        for (const QString& s2 : names)
            for (const QString& k2 : names) {
                const bool same =
                    s2.compare(sec, Qt::CaseInsensitive) == 0 && k2.compare(key, Qt::CaseInsensitive) == 0;
                EXPECT_EQ(ini.ReadIniStr(s2, k2, "<none>"), same ? QString("written") : before[s2 + "/" + k2])
                    << "file: " << bytes.toStdString() << " wrote " << sec.toStdString() << "/"
                    << key.toStdString();
            }
    }
}

// A program folder that refuses new files, with a writable INI file in it:
// the file is written in place. A file that cannot be written at all is
// reported once, not once per value.
TEST_F(IniFileTest, AReadOnlyFolderIsWrittenInPlaceAndAFailureReportedOnce)
{
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs(dlg);
    cFile ini = open("[A]\r\nk=1\r\n");
    {
        const Locked folder(dir.path());
        if (QFile probe(dir.filePath(QStringLiteral("probe"))); probe.open(QIODevice::WriteOnly))
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_NE(ini.WriteIniStr("A", "k", "2"), 0);
        EXPECT_EQ(readBytes(), QByteArray("[A]\r\nk=2\r\n"));
        EXPECT_TRUE(dlg.messages.isEmpty());

        const Locked file(path());
        EXPECT_EQ(ini.WriteIniStr("A", "k", "3"), 0);
        EXPECT_EQ(ini.WriteIniStr("B", "x", "1"), 0);
        ASSERT_EQ(dlg.messages.size(), 1);
        EXPECT_EQ(dlg.messages[0].title, QStringLiteral("cFile_WriteIniStr"));
        EXPECT_TRUE(dlg.messages[0].text.startsWith(QStringLiteral("Error: 75. Cannot write ")));
    }
    EXPECT_EQ(readBytes(), QByteArray("[A]\r\nk=2\r\n"));
}
