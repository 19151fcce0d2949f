#ifndef DCX_PROCESS_MODTRANSFER_H
#define DCX_PROCESS_MODTRANSFER_H
#include <QString>
// How a transfer ended. Declined: the operator answered No to the opening question.
// Stopped: Cancel in the progress window stopped it between records.
enum class TransferEnd { Declined, Completed, Stopped };
struct TransferOutcome {
    TransferEnd end = TransferEnd::Declined;
    int skippedRecords = 0;   // records given up after a retry prompt's Cancel
    QString stoppedAt;        // where a progress-window Cancel stopped, e.g. "Process 12"
};
// Reads the families chosen by Config().UpDnProcesses/UpDnMaterials/UpDnSystem
// from the instrument into Model(); asks first, shows progress(), prompts per record.
TransferOutcome UploadAll();
// Writes those families from Model() to the instrument.
TransferOutcome DownloadAll();
#endif
