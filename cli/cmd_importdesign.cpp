// dcx700ctl import-design CSV --db FILE: a design file as a new process of a
// parameter file. All or nothing: a design that stops part way saves nothing.
#include "cli/clicontext.h"
#include "cli/commandtable.h"
#include "link/modcomm.h"
#include "process/designimport.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/config.h"
#include "support/modfileutil.h"
#include "support/modutil.h"

#include <cstdio>
#include <cstdlib>

namespace {

QString whyNotImported(const ImportOutcome& out)
{
    switch (out.end) {
    case ImportEnd::Imported:
        break;
    case ImportEnd::FileError:
        return QStringLiteral("cannot be read");
    case ImportEnd::NoLayers:
        return QStringLiteral("the design has no layers; nothing saved");
    case ImportEnd::NoProcess:
        return QStringLiteral("no empty process left; nothing saved");
    case ImportEnd::Truncated:
        return QStringLiteral("design truncated; nothing saved");
    case ImportEnd::BadLine:
        return QStringLiteral("line %1: the thickness is not a number; nothing saved").arg(out.line);
    }
    return {};
}

int runImportDesign(CliContext& ctx)
{
    const std::optional<QString> db = ctx.takeOption(QStringLiteral("--db"));
    if (ctx.hasError())
        return ctx.usageError(ctx.error());
    if (!db)
        return ctx.usageError(QStringLiteral("import-design needs --db FILE"));
    if (ctx.args.size() != 1)
        return ctx.usageError(ctx.args.isEmpty() ? QStringLiteral("import-design needs a CSV file")
                                                 : QStringLiteral("unexpected argument ") + ctx.args.at(1));
    const QString csv = ctx.args.takeFirst();

    // A file newer than the program: the message is printed, the tool ends.
    ScopedCriticalExit exitOnCritical([] {
        std::fflush(stderr);
        std::exit(ExitFile);
    });
    Config().DBFileName = *db;
    SetDefaultParameters();
    if (FileExists(*db) && !DBOpen(Comm_InstrumentID()))
        return ExitFile; // "Error reading ..." is already on stderr

    const ImportOutcome out = ImportMacleod(Model(), csv, false);
    switch (out.end) {
    case ImportEnd::Imported:
        break;
    case ImportEnd::FileError:
    case ImportEnd::BadLine:
        return ctx.fileError(csv, whyNotImported(out));
    case ImportEnd::NoProcess:
    case ImportEnd::Truncated:
    case ImportEnd::NoLayers:
        // The file was read; this parameter set cannot take the design.
        ctx.fileError(csv, whyNotImported(out));
        return ExitData;
    }
    Config().DBFileName = *db;
    if (!DBSave())
        return ExitFile; // "Error saving ..." is already on stderr
    ctx.out() << out.finalMessage << '\n';
    return ExitOk;
}

const CliCommandRegistrar
    registrar({QStringLiteral("import-design"), QStringLiteral("import-design CSV --db FILE"),
               QStringLiteral("import a design CSV as a new process and save the file"), runImportDesign});

} // namespace
