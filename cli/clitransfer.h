#ifndef DCX_CLI_CLITRANSFER_H
#define DCX_CLI_CLITRANSFER_H

class CliContext;

// What upload, download (and any command that moves the families the same
// way) share: the options after the command name,
//   --db FILE [--processes] [--materials] [--system] [--retries N]
// and, for upload, [--save-partial]
// (with none of the three family flags all three travel), the parameter file
// and the exit status.

// Compare: upload into a scratch model and print the differences from FILE,
// one a line on stdout; neither FILE nor the instrument changes.
enum class CliTransfer { Upload, Download, Compare };

// Runs the whole command: parses its options, loads FILE (upload: defaults
// when it does not exist), connects, transfers, saves FILE after an upload;
// an upload that skipped records leaves FILE byte for byte as it was unless
// --save-partial was given.
// Returns the exit status: 0, 1 not found, 3 file, 4 records skipped after
// retries, 5 (Compare) differences found, 64 usage. A compare that skipped
// records exits 4 even with differences: its list is incomplete, and a
// script must not take a short list for the whole story.
int RunCliTransfer(CliContext& ctx, CliTransfer direction);

#endif
