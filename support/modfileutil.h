#ifndef DCX_SUPPORT_MODFILEUTIL_H
#define DCX_SUPPORT_MODFILEUTIL_H

#include <QDateTime>
#include <QString>

// File and path utilities. Paths use "/"; names coming from old INI files may
// still use "\", which the name/path splitters accept as well. Failures show
// "Error: n. description" titled with the procedure's name and return the
// default result (false, 0 or "").

// Appends text as one line ending in CR LF, creating the file when missing.
bool AppendToTextFile(const QString& fileName, const QString& text);
// True when fileName names an existing file (not a folder).
bool FileExists(const QString& fileName);
// Deletes the file when it exists. True when it is gone afterwards.
bool KillFile(const QString& fileName);
// The part after the last separator ("/a/b.txt" -> "b.txt"; no separator: all of it).
QString GetNamePart(const QString& path);
// The part up to and including the last separator ("/a/b.txt" -> "/a/"; none: "").
QString GetPathPart(const QString& path);
// The folder without the trailing separator ("/a/b.txt" -> "/a"; "/b" -> "/").
QString PathFromFullPath(const QString& path);
// "/" for an absolute path, "" for a relative one (no drive letters here).
QString DriveFromPath(const QString& path);
// Size in bytes; 0 (with the message) when the file cannot be read.
qint64 GetFileSize(const QString& fileName);
// Copies source to dest byte for byte, replacing dest. dest is replaced only
// when the whole copy succeeded.
bool CopyFileByte(const QString& source, const QString& dest);

// File attributes as tested by IsAttrSet.
enum FileAttr : int {
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrDirectory = 16,
};
// True when the file exists and has every attribute of attrs.
bool IsAttrSet(const QString& fileName, int attrs);

// The canonical absolute path (links resolved; a path that does not exist is
// made absolute and cleaned). Both stand for the short and network forms.
QString ConvertPathToUNC(const QString& path);
QString GetShortFileName(const QString& path);

// Last modification time; invalid when the file does not exist.
QDateTime GetFileDateTime(const QString& fileName);
// Its date "yyyy-MM-dd" and time "hh:mm:ss"; "" when the file does not exist.
QString GetFileDate(const QString& fileName);
QString GetFileTime(const QString& fileName);

#endif
