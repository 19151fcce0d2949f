// dcx700ctl download --db FILE [--processes] [--materials] [--system] [--retries N]
#include "cli/clicontext.h"
#include "cli/clitransfer.h"
#include "cli/commandtable.h"

namespace {

const CliCommandRegistrar
    registrar({QStringLiteral("download"),
               QStringLiteral("download --db FILE [--processes] [--materials] [--system] [--retries N]"),
               QStringLiteral("write the chosen families of FILE to the instrument"),
               [](CliContext& ctx) { return RunCliTransfer(ctx, CliTransfer::Download); }});

} // namespace
