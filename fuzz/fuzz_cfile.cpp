// Profile-file reader and writer: a damaged file is read without harm, and a
// write changes only the line it is about.

#include "fuzz/fuzzcheck.h"
#include "support/cfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString scratchFile()
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir.filePath(QStringLiteral("fuzz.ini"));
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(bytes) == bytes.size());
}

// Lines split at CR LF, LF or CR; a final line end starts no further line.
QList<QByteArray> lines(const QByteArray& bytes)
{
    QList<QByteArray> out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        out << bytes.mid(start, i - start);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        out << bytes.mid(start);
    return out;
}

// After a write every old line is still there in order: at most one replaced,
// at most three added (blank separator, section header, key).
void onlyOneChange(const QByteArray& oldBytes, const QByteArray& newBytes)
{
    const QList<QByteArray> o = lines(oldBytes);
    const QList<QByteArray> n = lines(newBytes);
    FUZZ_CHECK(n.size() >= o.size() && n.size() <= o.size() + 3);
    const qsizetype common = std::min(o.size(), n.size());
    qsizetype prefix = 0;
    while (prefix < common && o[prefix] == n[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && o[o.size() - 1 - suffix] == n[n.size() - 1 - suffix])
        ++suffix;
    const qsizetype kept = prefix + suffix;
    FUZZ_CHECK(kept >= o.size() - (n.size() == o.size() ? 1 : 0));
    // Every line ends in CR LF once written.
    FUZZ_CHECK(newBytes.isEmpty() || newBytes.endsWith("\r\n"));
}

void writeAndReadBack(cFile& ini, const QString& path, const QString& section, const QString& key,
                      const QString& value)
{
    const QByteArray before = readBytes(path);
    FUZZ_CHECK(ini.WriteIniStr(section, key, value) != 0);
    const QByteArray after = readBytes(path);
    onlyOneChange(before, after);
    FUZZ_CHECK(ini.ReadIniStr(section, key, QStringLiteral("missing")) == value);
}

} // namespace

std::vector<std::string> FuzzSeedInputs()
{
    return {"[Comm]\r\nCommType=2\r\nRS232Port=1\r\nEPort=2101\r\nEAddress=127.0.0.1\r\n\r\n[Display]\r\n"
            "UpDnRate = 0.5 \r\nLogFile=\"C:\\data\\run log.csv\"\r\nCheckSumOn=TRUE\r\n",
            "; comment\n[comm]\neport=70000\nDebugDump=yes\n[Comm]\nEPort=1\n",
            "[Fuzz]\nKey=v\n[Fuzz\nKey='q'\n=nothing\n[]\nx=1,2,3\n",
            "\xef\xbb\xbf[Comm]\rEPort=-32768\rName=M\xfcller\r", "[Comm]\r\nEPort=\r\n\r\n\r\n"};
}

std::string FuzzDictionary()
{
    return std::string("[]=;,\"' \r\n\t\0\xef\xbf\xbd\xfc"
                       "CommEPort01",
                       28);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = scratchFile();
    writeBytes(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    cFile ini;
    ini.setFileName(path);
    FUZZ_CHECK(ini.FileName() == path);
    for (const char* section : {"Comm", "Fuzz", ""}) {
        for (const char* key : {"EPort", "Key", "x", ""}) {
            const QString s = QString::fromLatin1(section);
            const QString k = QString::fromLatin1(key);
            FUZZ_CHECK(ini.ReadIniStr(s, k).size() <= cFile::MaxValueLength);
            ini.ReadIniStr(s, k, QStringLiteral("d1,d2"), 2);
            ini.ReadIniStr(s, k, QString(), -1);
            ini.ReadIniInt(s, k, 7);
            ini.ReadIniSingle(s, k, 1.5f);
            ini.ReadIniBool(s, k, QStringLiteral("no"));
        }
    }

    // Damaged or not, the file takes a write and gives the value back.
    writeAndReadBack(ini, path, QStringLiteral("Comm"), QStringLiteral("EPort"), QStringLiteral("2101"));
    writeAndReadBack(ini, path, QStringLiteral("Fuzz Section"), QStringLiteral("New Key"),
                     QStringLiteral("a value, with = signs"));
    FUZZ_CHECK(ini.WriteIniStr(QStringLiteral("Comm"), QStringLiteral("EPort"), QStringLiteral("1\n[x]")) ==
               0);
    FUZZ_CHECK(ini.ReadIniStr(QStringLiteral("Comm"), QStringLiteral("EPort")) == QStringLiteral("2101"));
    FUZZ_CHECK(ini.ClearIniSection(QStringLiteral("Fuzz Section")) != 0);
    return 0;
}
