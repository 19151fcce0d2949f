// dcx700ctl upload --db FILE [--processes] [--materials] [--system] [--retries N] [--save-partial]
#include "cli/clicontext.h"
#include "cli/clitransfer.h"
#include "cli/commandtable.h"

namespace {

const CliCommandRegistrar registrar(
    {QStringLiteral("upload"),
     QStringLiteral("upload --db FILE [--processes] [--materials] [--system] [--retries N] [--save-partial]"),
     QStringLiteral("read the chosen families from the instrument into FILE"),
     [](CliContext& ctx) { return RunCliTransfer(ctx, CliTransfer::Upload); }});

} // namespace
