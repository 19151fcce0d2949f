#ifndef DCX_EDITORS_FILMSPLIT_H
#define DCX_EDITORS_FILMSPLIT_H

#include "store/model.h"

#include <QString>

#include <array>
#include <span>
#include <variant>

// The film editor's spinners as plain values, and the table of its spinner
// pairs: a one-decimal value (whole part and tenths) or a time (minutes and
// seconds) shown in a read-only box.
enum class FilmTab { Main, Conditioning, Controls };
enum class PairKind { Tenths, Time };

struct FilmPairRow {
    FilmTab tab;
    const char* label;
    const char* high; // whole part / minutes spinner
    const char* low;  // tenths / seconds spinner
    const char* display;
    std::variant<double FilmRecord::*, qint16 FilmRecord::*> field;
    PairKind kind;
    // On the Controls tab the seconds are taken against the minutes spinner's
    // value after loading it, not against the computed minutes.
    bool secondsFromSpinner = false;
};
std::span<const FilmPairRow> FilmPairRows();
constexpr int kFilmPairs = 17;

struct SpinPair {
    int high = 0; // whole part or minutes
    int low = 0;  // tenths or seconds
    bool operator==(const SpinPair&) const = default;
};

struct FilmEdit {
    std::array<SpinPair, kFilmPairs> pairs{}; // in FilmPairRows() order
    int material = 0;                         // cmbMaterial entry
    int pocket = 0;
    int tooling = 10;
    int propTerm = 0;                       // spnPropTerm
    QString propText = QStringLiteral("0"); // txtPTerm
    int xtalQual = 0;
    int xtalStab = 0;
    int capture = 0;         // tenths of a percent
    int controlErrorPct = 0; // tenths of a percent
    int xtalFail = -1;       // option index; -1 none selected
    int controlError = -1;
    int sampling = -1;

    bool operator==(const FilmEdit&) const = default;
};

// The spinners after loading film f onto spinners that held `previous`: a
// value a spinner cannot hold leaves that spinner as it was; a time pair past
// 1:00:00 has its seconds reset as the spinners do.
FilmEdit LoadFilmEdit(const FilmRecord& f, const FilmEdit& previous = {});
// Stores the spinners into the film as their displays read. Film_Name stays;
// a code with no option selected keeps its value.
void StoreFilmEdit(const FilmEdit& e, FilmRecord& f);

// Display texts.
QString FilmPairText(const FilmPairRow& row, const SpinPair& p); // "12.7" or "0:01:30"
QString NumberOrWord(int v, const QString& word);                // 0 -> word
QString TenthsPercentText(int tenthsOfPercent);                  // 25 -> "2.5", 100 -> "10"
// Caption: "Film #" + number + ": " + the stored name.
QString FilmCaption(int film, const QString& name16);

// The longest time the film editor takes, in seconds.
constexpr int kFilmTimeMax = 3600;

#endif
