#ifndef DCX_PROCESS_MODELCOMPARE_H
#define DCX_PROCESS_MODELCOMPARE_H

#include "process/modtransfer.h"

#include <QString>
#include <QStringList>

struct ParameterModel;

// The record-by-record differences between the PC's model and what the
// instrument holds, one line each:
//   Process 3 Layer 20: Rate 2.5 (PC) vs 2.4 (instrument)
//   Film 7: name "Gold" (PC) vs "Au" (instrument)

struct CompareFamilies {
    bool processes = true; // processes with their layers, and films
    bool materials = true;
    bool system = true; // system parameters, inputs and relays
};

// The lines for the chosen families, in transfer order. A record named in
// unread (as TransferOutcome names records: "Process 3", "Film 7", ...) gives
// no lines, and none are made from upTo on (the record a stopped upload did not
// reach); upTo empty compares everything.
QStringList CompareModels(const ParameterModel& pc, const ParameterModel& instrument,
                          const CompareFamilies& families, const QStringList& unread = {},
                          const QString& upTo = {});

struct CompareResult {
    TransferOutcome transfer;
    QStringList differences;
    QStringList notes; // records not read, a stop: the differences are then incomplete
    bool complete() const { return notes.isEmpty(); }
    // What the list shows and a saved file holds: differences then notes, or
    // "No differences." when there is nothing to say.
    QStringList lines() const;
};

// Edit, "Compare with Instrument": uploads the families Config() chooses into
// a scratch model (progress with Cancel, the retry prompts) and compares pc
// with it. Asks nothing and changes neither pc nor the instrument.
CompareResult CompareWithInstrument(const ParameterModel& pc);

// Asks for a text file through the dialog seam and writes lines to it, one a
// line; false when cancelled or the file cannot be written (the operator is told).
bool SaveCompareList(const QStringList& lines);

#endif
