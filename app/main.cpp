#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "app/modabout.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/programfolder.h"
#include "support/qtdialogs.h"
#include "support/shell.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPixmap>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProgramTitle());
    QApplication::setApplicationVersion(ProgramVersionText());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Companion program of the DCX-700 deposition controller."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption home(
        QStringLiteral("home"),
        QStringLiteral("Use DIR as the program folder (configuration, help, charts)."),
        QStringLiteral("DIR"));
    parser.addOption(home);
    // For the documentation: renders the main window to a PNG file after a
    // few seconds (time to find the instrument) and ends without saving.
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the main window to FILE and quit."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);
    // A build tree runs from its own folder; an installed program from a
    // per-user folder made from the shipped defaults.
    QString folderError;
    if (!UseProgramFolder(parser.value(home), &folderError))
        qWarning("%s", qPrintable(folderError));
    // Bare file names in the configuration mean "beside the program", as they
    // do when the program is started from its own folder.
    QDir::setCurrent(ProgramFolder());

    QtDialogs qtDialogs;
    ScopedDialogs installDialogs(qtDialogs);
    DesktopShell desktop;
    setShell(&desktop);

    int rc = 0;
    {
        frmMain main;
        frmSplash splash(&main);
        ScopedProgress installProgress(splash);
        main.show();
        if (parser.isSet(screenshot)) {
            const QString file = parser.value(screenshot);
            QTimer::singleShot(3000, &main, [&main, file] {
                if (!main.grab().save(file))
                    qWarning("could not save %s", qPrintable(file));
                // A message box left open (no instrument answered) holds a wait
                // that would defer the close for ever: dismiss it first.
                if (QWidget* box = QApplication::activeModalWidget())
                    box->close();
                main.close(); // the ordinary way out: position and INI file are saved
            });
        }
        rc = QApplication::exec();
    }
    // Reports procedures still registered at the end, while messages can show.
    EndErrHandler();
    setShell(nullptr);
    return rc;
}
