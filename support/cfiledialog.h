#ifndef DCX_SUPPORT_CFILEDIALOG_H
#define DCX_SUPPORT_CFILEDIALOG_H

#include <QString>

// The open/save file dialog with its properties, shown through dialogs().
class cFileDialog {
public:
    QString DefaultExt; // without the dot
    QString DialogTitle;
    QString FileName;  // proposed name in, chosen full path out
    QString FileTitle; // out: the chosen file's name without its folder
    QString Filter;    // "description|pattern|description|pattern..."
    int FilterIndex = 1;
    int Flags = 0; // kept for callers that set them; the dialog seam has no flags
    QString InitialDir;
    int MaxFileSize = 260;

    // Runs the open (open = true) or save dialog; true when the operator confirmed.
    bool Show(bool open);
};

#endif
