// dcx700ctl diff --db FILE [--processes] [--materials] [--system] [--retries N]
#include "cli/clicontext.h"
#include "cli/clitransfer.h"
#include "cli/commandtable.h"

namespace {

const CliCommandRegistrar registrar(
    {QStringLiteral("diff"),
     QStringLiteral("diff --db FILE [--processes] [--materials] [--system] [--retries N]"),
     QStringLiteral("list the differences between FILE and the instrument; exit 5 when they differ"),
     [](CliContext& ctx) { return RunCliTransfer(ctx, CliTransfer::Compare); }});

} // namespace
