#ifndef DCX_STORE_DBERROR_H
#define DCX_STORE_DBERROR_H

#include <QString>
#include <QtGlobal>

// Why a database load, save or upgrade ended. key names the record being read
// or written ("Process 3 Layer 57"), empty when no record was reached yet.
struct DbError {
    QString key;
    qint32 number = 0;
    QString description;
};

// Error numbers of the checks the store makes itself (the engine's own errors
// carry the engine's code).
namespace dberr {
constexpr qint32 Overflow = 6;       // integer outside the 16-bit range
constexpr qint32 SubscriptRange = 9; // a layer link outside 1..1000, or a loop
constexpr qint32 TypeMismatch = 13;  // a number column holding text
constexpr qint32 FileAccess = 75;    // file locked, read-only or folder not writable
constexpr qint32 InvalidNull = 94;   // empty cell
constexpr qint32 NoTable = 3078;     // table missing
constexpr qint32 NoColumn = 3265;    // column missing
constexpr qint32 BadFormat = 3343;   // not a database file, or a damaged one
} // namespace dberr

#endif
