#ifndef DCX_SUPPORT_CFILE_H
#define DCX_SUPPORT_CFILE_H

#include <QByteArray>
#include <QString>
#include <optional>

// Values of one profile (INI) file: "[Section]" lines holding "Key=Value"
// lines. Section and key names are compared without regard to case, blanks
// around names and values are ignored, a value enclosed in matching quotes
// comes back without them. Writes keep every other line of the file as it was
// and replace the file atomically (in place when its folder is read-only),
// with CR LF line ends. The first write that fails is reported through
// dialogs(); later ones only return 0.
//
// The file name is kept only when it names an existing file; with no file name
// every read gives its default and every write fails (returns 0), so a missing
// configuration file is never created.
class cFile {
public:
    // Longest value a read returns; longer stored values are cut.
    static constexpr int MaxValueLength = 254;

    // FileName (set): keeps path unchanged when it names an existing file, else "".
    void setFileName(const QString& path);
    // FileName (get): the stored file name.
    QString FileName() const { return fileName_; }

    // The whole value (Index 0) or one comma-separated field of it (Index 1..;
    // an Index past the last field, or a negative one, gives the last field).
    // An empty or missing value gives Default.
    QString ReadIniStr(const QString& Section, const QString& Key, const QString& Default = {},
                       qint16 Index = 0);
    // The leading integer of the value, Default when missing; nullopt when the
    // stored number lies outside -32768..32767 (the overflow the caller hears of).
    std::optional<qint16> ReadIniInt(const QString& Section, const QString& Key, qint16 Default);
    // The leading number of the value ("12.5 s" -> 12.5, "1,5" -> 1); Default
    // when the value is empty or missing.
    float ReadIniSingle(const QString& Section, const QString& Key, float Default);
    // True for "TRUE", "YES", "ON", "1" in any case; Default is tested the same way
    // when the key is missing.
    bool ReadIniBool(const QString& Section, const QString& Key, const QString& Default);
    // Creates the section and key as needed, replaces an existing value.
    // Non-zero on success, 0 on failure (no file name, unwritable file, a name
    // or value that would break the file's line structure).
    qint16 WriteIniStr(const QString& Section, const QString& Key, const QString& Value);
    // Removes the section with all its keys. Non-zero on success.
    qint16 ClearIniSection(const QString& Section);

    // Result of the last read or write of the file (characters read, or the
    // success flag of a write).
    qint32 LastResult() const { return lastResult_; }

private:
    // The raw value of Section/Key cut to MaxValueLength; Default (trailing
    // blanks removed) when the file, section or key is missing.
    QString readString(const QString& Section, const QString& Key, const QString& Default);

    // Stores the lines; the first failure is shown to the operator.
    bool stored(const QByteArray& bytes);

    QString fileName_;
    qint32 lastResult_ = 0;
    bool writeFailureShown_ = false;
};

#endif
