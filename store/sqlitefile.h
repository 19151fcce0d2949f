#ifndef DCX_STORE_SQLITEFILE_H
#define DCX_STORE_SQLITEFILE_H

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// Low-level handling of the database file: recognising an SQLite file before
// the driver touches it, scoped connections, and the durable replace used by
// every write.

enum class SqliteFileState {
    Ok,
    Missing,      // no such file
    Unreadable,   // exists but cannot be read
    NotADatabase, // no SQLite header (another program's file, text, empty)
    Truncated,    // shorter than its header says
};

SqliteFileState CheckSqliteFile(const QString& path);
// Describes a state other than Ok, for error reports.
QString SqliteFileStateText(SqliteFileState state);

// A connection of its own, under a unique name, removed again on destruction.
// The driver never creates a file unless asked to (Mode::Create).
class SqliteConnection {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteConnection(const QString& path, Mode mode);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase& db() { return m_db; }
    QSqlError openError() const { return m_openError; }
    // Closes the file; queries on it must be gone.
    void close();

private:
    QString m_name;
    QSqlDatabase m_db;
    QSqlError m_openError;
};

// The number the engine gives an error (its native code), 0 when none.
qint32 SqlErrorNumber(const QSqlError& e);
QString SqlErrorText(const QSqlError& e);

// Flushes a file's contents to disk. False when it cannot be opened or synced.
bool SyncFile(const QString& path);
// Flushes a folder entry (after a rename), best effort.
void SyncFolder(const QString& folder);
// Renames from over to in one step: readers see the old file or the new one.
bool ReplaceFile(const QString& from, const QString& to, QString* error);

// Takes an exclusive advisory lock on an open file without waiting. The
// system drops it when the file is closed or the process ends, however it
// ends, so a held lock means a live owner.
enum class FileLock {
    Taken,
    Held,        // another open file holds it
    Unsupported, // the file system keeps no such locks
};
FileLock TryLockFile(int fd);
// True when path (not followed if a link) names the file open as fd.
bool IsSameFile(int fd, const QString& path);
// Removes path if it is a regular file that no open file holds locked.
// True when it was removed.
bool RemoveIfUnlocked(const QString& path);

#endif
