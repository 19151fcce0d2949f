#include "support/cfile.h"

#include "support/modutil.h"
#include "support/numbers.h"
#include "support/supportlogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace {

// One line of a profile file as read. Lines are kept as their bytes so that
// a write leaves every line it does not change exactly as it was.
struct Line {
    enum Kind { Other, Section, Key };
    QByteArray raw;
    Kind kind = Other;
    QString name;  // section or key name, blanks removed
    QString value; // key value, blanks removed
};

// Text of a line: UTF-8 when it is valid UTF-8, else Latin-1 (older files).
QString decode(const QByteArray& raw)
{
    const QString s = QString::fromUtf8(raw);
    if (s.contains(QChar::ReplacementCharacter) && !raw.contains("\xEF\xBF\xBD"))
        return QString::fromLatin1(raw);
    return s;
}

Line parseLine(const QByteArray& raw)
{
    Line l;
    l.raw = raw;
    const QString text = decode(raw).trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        l.kind = Line::Section;
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        l.name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
        return l;
    }
    if (text.startsWith(QLatin1Char(';')))
        return l;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return l;
    l.kind = Line::Key;
    l.name = text.left(eq).trimmed();
    l.value = text.mid(eq + 1).trimmed();
    return l;
}

// Splits at CR LF, LF or CR. A final line end does not start another line.
QList<Line> parse(const QByteArray& bytes)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(parseLine(bytes.mid(start, i - start)));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(parseLine(bytes.mid(start)));
    return lines;
}

QByteArray serialize(const QList<Line>& lines)
{
    QByteArray out;
    for (const Line& l : lines) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first section header named section, -1 when none.
qsizetype findSection(const QList<Line>& lines, const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && sameName(lines[i].name, section))
            return i;
    return -1;
}

// One past the last line of the section whose header is at header.
qsizetype sectionEnd(const QList<Line>& lines, qsizetype header)
{
    qsizetype i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section)
        ++i;
    return i;
}

qsizetype findKey(const QList<Line>& lines, qsizetype header, const QString& key)
{
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (lines[i].kind == Line::Key && sameName(lines[i].name, key))
            return i;
    return -1;
}

bool isBlankLine(const Line& l)
{
    return l.raw.trimmed().isEmpty();
}

// What the service hands back: up to the first NUL, at most MaxValueLength characters.
QString cut(QString s)
{
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0)
        s.truncate(nul);
    if (s.size() > cFile::MaxValueLength)
        s.truncate(cFile::MaxValueLength);
    return s;
}

QString unquote(const QString& v)
{
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

bool breaksLines(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

// Reads the file; nullopt when it exists but cannot be read (then it must not
// be rewritten). A file that has gone is read as empty.
std::optional<QList<Line>> load(const QString& fileName)
{
    QFile f(fileName);
    if (!f.exists())
        return QList<Line>{};
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(lcSupport) << "cannot read" << fileName << f.errorString();
        return std::nullopt;
    }
    return parse(f.readAll());
}

// Replaces the file atomically where its folder lets us create the temporary
// file; a read-only program folder with a writable INI file is written in place.
bool store(const QString& fileName, const QByteArray& bytes, QString* why)
{
    QSaveFile f(fileName);
    if (f.open(QIODevice::WriteOnly)) {
        if (f.write(bytes) == bytes.size() && f.commit())
            return true;
        *why = f.errorString();
        qCWarning(lcSupport) << "cannot write" << fileName << *why;
        return false;
    }
    // No temporary file beside it: the folder refuses new files.
    QFile inPlace(fileName);
    if (inPlace.open(QIODevice::WriteOnly | QIODevice::Truncate) && inPlace.write(bytes) == bytes.size() &&
        inPlace.flush())
        return true;
    *why = inPlace.errorString();
    qCWarning(lcSupport) << "cannot write" << fileName << *why;
    return false;
}

} // namespace

bool cFile::stored(const QByteArray& bytes)
{
    QString why;
    if (store(fileName_, bytes, &why))
        return true;
    // Every setting written at close would fail the same way: one message.
    if (!writeFailureShown_) {
        writeFailureShown_ = true;
        ShowProcError(QStringLiteral("cFile_WriteIniStr"), 75,
                      QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(fileName_), why));
    }
    return false;
}

void cFile::setFileName(const QString& path)
{
    fileName_ = (!path.isEmpty() && QFileInfo(path).isFile()) ? path : QString();
}

QString cFile::readString(const QString& Section, const QString& Key, const QString& Default)
{
    QString def = Default;
    while (!def.isEmpty() && def.back().isSpace())
        def.chop(1);
    QString result = def;
    if (!fileName_.isEmpty()) {
        QFile f(fileName_);
        if (f.open(QIODevice::ReadOnly)) {
            const QList<Line> lines = parse(f.readAll());
            const qsizetype header = findSection(lines, Section);
            const qsizetype at = header < 0 ? -1 : findKey(lines, header, Key);
            if (at >= 0)
                result = unquote(lines[at].value);
        }
    }
    result = cut(result);
    lastResult_ = qint32(result.size());
    return result;
}

QString cFile::ReadIniStr(const QString& Section, const QString& Key, const QString& Default, qint16 Index)
{
    QString value = readString(Section, Key, Default);
    if (value.isEmpty())
        value = Default;
    if (Index == 0)
        return value;
    int field = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char(','))
            continue;
        if (field == Index)
            return value.mid(start, i - start);
        ++field;
        start = i + 1;
    }
    return value.mid(start);
}

std::optional<qint16> cFile::ReadIniInt(const QString& Section, const QString& Key, qint16 Default)
{
    const QString value = readString(Section, Key, QString());
    if (value.isEmpty()) {
        lastResult_ = Default;
        return Default;
    }
    // The service reads an optionally signed run of digits; anything else is 0.
    qsizetype i = 0;
    while (i < value.size() && value[i].isSpace())
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == QLatin1Char('-') || value[i] == QLatin1Char('+'))) {
        negative = value[i] == QLatin1Char('-');
        ++i;
    }
    qint64 n = 0;
    bool tooBig = false;
    for (; i < value.size() && value[i] >= QLatin1Char('0') && value[i] <= QLatin1Char('9'); ++i) {
        n = n * 10 + (value[i].unicode() - '0');
        if (n > 100000) {
            tooBig = true;
            break;
        }
    }
    if (negative)
        n = -n;
    lastResult_ = qint32(n);
    if (tooBig || n < -32768 || n > 32767)
        return std::nullopt;
    return qint16(n);
}

float cFile::ReadIniSingle(const QString& Section, const QString& Key, float Default)
{
    const QString value = readString(Section, Key, QString());
    if (value.isEmpty())
        return Default;
    return float(LeadingNumber(value));
}

bool cFile::ReadIniBool(const QString& Section, const QString& Key, const QString& Default)
{
    const QString value = readString(Section, Key, Default).toUpper();
    return value == QLatin1String("TRUE") || value == QLatin1String("YES") || value == QLatin1String("ON") ||
           value == QLatin1String("1");
}

qint16 cFile::WriteIniStr(const QString& Section, const QString& Key, const QString& Value)
{
    lastResult_ = 0;
    const QString section = Section.trimmed();
    const QString key = Key.trimmed();
    if (fileName_.isEmpty() || section.isEmpty() || key.isEmpty() || breaksLines(Section) ||
        breaksLines(Key) || breaksLines(Value) || section.contains(QLatin1Char(']')) ||
        key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')))
        return 0;
    auto loaded = load(fileName_);
    if (!loaded)
        return 0;
    QList<Line>& lines = *loaded;

    const qsizetype header = findSection(lines, section);
    if (header < 0) {
        // A new section goes at the end, one empty line after what is there.
        if (!lines.isEmpty() && !isBlankLine(lines.back()))
            lines.append(parseLine(QByteArray()));
        lines.append(parseLine('[' + section.toUtf8() + ']'));
        lines.append(parseLine(key.toUtf8() + '=' + Value.toUtf8()));
    } else {
        const qsizetype at = findKey(lines, header, key);
        if (at >= 0) {
            // Keep the file's spelling of the key, replace the value.
            lines[at] = parseLine(lines[at].name.toUtf8() + '=' + Value.toUtf8());
        } else {
            // A new key goes after the section's last non-empty line.
            qsizetype insertAt = sectionEnd(lines, header);
            while (insertAt > header + 1 && isBlankLine(lines[insertAt - 1]))
                --insertAt;
            lines.insert(insertAt, parseLine(key.toUtf8() + '=' + Value.toUtf8()));
        }
    }
    lastResult_ = stored(serialize(lines)) ? 1 : 0;
    return qint16(lastResult_);
}

qint16 cFile::ClearIniSection(const QString& Section)
{
    lastResult_ = 0;
    if (fileName_.isEmpty() || breaksLines(Section))
        return 0;
    auto loaded = load(fileName_);
    if (!loaded)
        return 0;
    QList<Line>& lines = *loaded;
    const qsizetype header = findSection(lines, Section.trimmed());
    if (header < 0) {
        lastResult_ = 1;
        return 1;
    }
    lines.remove(header, sectionEnd(lines, header) - header);
    lastResult_ = stored(serialize(lines)) ? 1 : 0;
    return qint16(lastResult_);
}
