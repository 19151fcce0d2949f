#include "store/sqlitefile.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kHeader[] = "SQLite format 3"; // followed by a NUL byte
constexpr int kHeaderSize = 100;

quint32 bigEndian(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<quint8>(b.at(at + i));
    return v;
}

QString connectionName()
{
    static QAtomicInteger<quint32> counter;
    return QStringLiteral("dcx_store_%1").arg(counter.fetchAndAddRelaxed(1));
}

QString uriFor(const QString& path, SqliteConnection::Mode mode)
{
    const QString abs = QFileInfo(path).absoluteFilePath();
    const QByteArray encoded = QUrl::toPercentEncoding(abs, "/");
    const char* m = mode == SqliteConnection::Mode::ReadOnly    ? "ro"
                    : mode == SqliteConnection::Mode::ReadWrite ? "rw"
                                                                : "rwc";
    return QStringLiteral("file:%1?mode=%2").arg(QString::fromLatin1(encoded), QLatin1String(m));
}

} // namespace

SqliteFileState CheckSqliteFile(const QString& path)
{
    QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return SqliteFileState::Missing;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return SqliteFileState::Unreadable;
    const QByteArray head = f.read(kHeaderSize);
    if (head.size() < kHeaderSize || std::memcmp(head.constData(), kHeader, sizeof kHeader) != 0)
        return SqliteFileState::NotADatabase;
    quint64 pageSize = bigEndian(head, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return SqliteFileState::NotADatabase;
    const quint64 size = static_cast<quint64>(f.size());
    if (size < pageSize)
        return SqliteFileState::Truncated;
    // The page count in the header is only valid when written by the same
    // change as the change counter.
    const quint32 pages = bigEndian(head, 28, 4);
    if (pages != 0 && bigEndian(head, 24, 4) == bigEndian(head, 92, 4) && size < pages * pageSize)
        return SqliteFileState::Truncated;
    return SqliteFileState::Ok;
}

QString SqliteFileStateText(SqliteFileState state)
{
    switch (state) {
    case SqliteFileState::Ok:
        return QStringLiteral("no error");
    case SqliteFileState::Missing:
        return QStringLiteral("File not found");
    case SqliteFileState::Unreadable:
        return QStringLiteral("Permission denied");
    case SqliteFileState::NotADatabase:
        return QStringLiteral("Unrecognized database format");
    case SqliteFileState::Truncated:
        return QStringLiteral("Database file is truncated");
    }
    return {};
}

SqliteConnection::SqliteConnection(const QString& path, Mode mode) : m_name(connectionName())
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    QString options = QStringLiteral("QSQLITE_OPEN_URI");
    if (mode == Mode::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    m_db.setConnectOptions(options);
    m_db.setDatabaseName(uriFor(path, mode));
    if (!m_db.open())
        m_openError = m_db.lastError();
}

SqliteConnection::~SqliteConnection()
{
    close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void SqliteConnection::close()
{
    if (m_db.isOpen())
        m_db.close();
}

qint32 SqlErrorNumber(const QSqlError& e)
{
    bool ok = false;
    const int n = e.nativeErrorCode().toInt(&ok);
    return ok ? n : (e.isValid() ? 1 : 0);
}

QString SqlErrorText(const QSqlError& e)
{
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.driverText();
    return t;
}

bool SyncFile(const QString& path)
{
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void SyncFolder(const QString& folder)
{
    const QByteArray p = QFile::encodeName(folder);
    const int fd = ::open(p.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool ReplaceFile(const QString& from, const QString& to, QString* error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

FileLock TryLockFile(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return FileLock::Taken;
    return errno == EWOULDBLOCK ? FileLock::Held : FileLock::Unsupported;
}

bool IsSameFile(int fd, const QString& path)
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0 || ::lstat(QFile::encodeName(path).constData(), &named) != 0)
        return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool RemoveIfUnlocked(const QString& path)
{
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool removed = false;
    // Locked while it is checked and removed: its owner cannot be starting
    // on it meanwhile.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TryLockFile(fd) == FileLock::Taken &&
        IsSameFile(fd, path))
        removed = ::unlink(p.constData()) == 0;
    ::close(fd);
    return removed;
}
