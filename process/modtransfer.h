#ifndef DCX_PROCESS_MODTRANSFER_H
#define DCX_PROCESS_MODTRANSFER_H
#include <QString>
#include <QStringList>

struct ParameterModel;
// How a transfer ended. Declined: the operator answered No to the opening question.
// Stopped: Cancel in the progress window stopped it between records.
enum class TransferEnd { Declined, Completed, Stopped };
struct TransferOutcome {
    TransferEnd end = TransferEnd::Declined;
    int skippedRecords = 0; // records given up after a retry prompt's Cancel
    QString stoppedAt;      // where a progress-window Cancel stopped, e.g. "Process 12"
    // The records skipped, named as stoppedAt names them ("Process 3",
    // "Film 7", "Material 2", "System Params", "Inputs", "Relays"), once each.
    QStringList skipped;
};
// Reads the families chosen by Config().UpDnProcesses/UpDnMaterials/UpDnSystem
// from the instrument into Model(); asks first, shows progress(), prompts per record.
TransferOutcome UploadAll();
// The same upload into target without the opening question or the stop
// message (the caller reports both): the compare reads the instrument into a
// scratch model this way. Model() and Working() are left as they were unless
// target is Model().
TransferOutcome UploadInto(ParameterModel& target, const QString& caption);
// Writes those families from Model() to the instrument.
TransferOutcome DownloadAll();
#endif
