#include "support/cfiledialog.h"

#include "support/dialogs.h"
#include "support/modfileutil.h"

bool cFileDialog::Show(bool open)
{
    FileDialogRequest req;
    req.title = DialogTitle;
    req.filter = Filter;
    req.filterIndex = FilterIndex;
    req.initialDir = InitialDir;
    req.fileName = FileName;
    req.defaultExt = DefaultExt;
    const std::optional<QString> chosen = open ? dialogs().openFile(req) : dialogs().saveFile(req);
    if (!chosen || chosen->isEmpty())
        return false;
    FileName = *chosen;
    FileTitle = GetNamePart(*chosen);
    return true;
}
