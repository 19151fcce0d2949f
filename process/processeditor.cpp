#include "process/processeditor.h"

#include "link/modcomm.h"
#include "process/designimport.h"
#include "process/modtransfer.h"
#include "process/processedit.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/config.h"
#include "support/dialogs.h"
#include "support/modfileutil.h"
#include "support/programfolder.h"

namespace {

const QString kDbFilter = QStringLiteral("DB Files (*.mdb)|*.mdb");

FileDialogRequest dbOpenRequest()
{
    FileDialogRequest r;
    r.title = QStringLiteral("Open Database");
    r.filter = kDbFilter;
    r.filterIndex = 1;
    r.initialDir = ProgramFolder();
    return r;
}

bool run(const std::function<bool()>& editor)
{
    return editor ? editor() : false;
}

} // namespace

ProcessWindowHost::~ProcessWindowHost() = default;

ProcessEditor::ProcessEditor(ParameterModel& model, ProcessWindowHost* host) : model_(model), host_(host) {}

QString ProcessEditor::windowTitle() const
{
    return QStringLiteral("DCX-700 - [") + caption_ + QLatin1Char(']');
}

void ProcessEditor::setCaptionFromFile()
{
    setFormCaption(GetNamePart(Config().DBFileName));
}

ProcessEditor::TreeChange ProcessEditor::load()
{
    if (host_) {
        host_->stopUpdates();
        host_->setMainEnabled(false);
    }
    BusyCursor busy;
    loading_ = true;
    SetDefaultParameters(model_);
    if (!FileExists(Config().DBFileName)) {
        if (const std::optional<QString> file = dialogs().openFile(dbOpenRequest()))
            Config().DBFileName = *file;
    }
    if (FileExists(Config().DBFileName))
        DBOpen(Comm_InstrumentID());
    setCaptionFromFile();
    const TreeChange change = UpdateTreeView();
    loading_ = false;
    return change;
}

bool ProcessEditor::arm(Armed op)
{
    if (armed_ != Armed::None)
        return false;
    armed_ = op;
    return true;
}

ProcessEditor::TreeChange ProcessEditor::nodeClick(const QString& key)
{
    const QChar c = key.isEmpty() ? QChar() : key.at(0);
    const bool layer = c == QLatin1Char('L');
    const bool layerOrProcess = layer || c == QLatin1Char('P');
    if (armed_ == Armed::DeleteLayer && layer)
        return DeleteLayer(key);
    if (armed_ == Armed::InsertLayer && layerOrProcess)
        return InsertLayer(key);
    if (armed_ == Armed::InsertCoDep && layerOrProcess)
        return InsertCoDep(key);
    return EditLayer(key);
}

ProcessEditor::TreeChange ProcessEditor::EditLayer(const QString& key)
{
    WorkingGlobals& w = Working();
    if (key.startsWith(QLatin1Char('F'))) {
        const int film = GetNum(key, 1);
        if (film < 1 || film > MaxFilms)
            return {};
        w.CurFilm = qint16(film);
        w.CurProcess = qint16(GetNum(key, 2));
        w.CurLayer = qint16(GetNum(key, 3));
        const Name16 before = model_.FilmTable[size_t(film)].Film_Name;
        // The film editor can switch to and rename other films too, so any
        // stored change rebuilds the tree, not only a new name for this film.
        const bool changed = run(editors_.film);
        return (changed || model_.FilmTable[size_t(film)].Film_Name != before) ? UpdateTreeView()
                                                                               : TreeChange{};
    }
    if (key.startsWith(QLatin1Char('L'))) {
        const int slot = GetNum(key, 1);
        if (slot < 1 || slot > MaxLayers)
            return {};
        w.CurLayer = qint16(slot);
        w.CurProcess = qint16(GetNum(key, 2));
        const qint16 before = model_.LayerTable[size_t(slot)].Film_Number;
        // A new output number changes the node's ".n" text as well.
        const bool changed = run(editors_.layer);
        return (changed || model_.LayerTable[size_t(slot)].Film_Number != before) ? UpdateTreeView()
                                                                                  : TreeChange{};
    }
    if (key.startsWith(QLatin1Char('P'))) {
        const int process = GetNum(key, 1);
        if (process < 1 || process > MaxProcesses)
            return {};
        RenameProcess(model_, process);
        tree_.setText(key, model_.ProcessTable[size_t(process)].Process_Name.text());
        return {TreeChange::Text, key, {}, {}};
    }
    return {};
}

ProcessEditor::TreeChange ProcessEditor::InsertLayer(const QString& key)
{
    armed_ = Armed::None;
    const InsertResult r = ::InsertLayer(model_, key);
    if (!r.inserted())
        return {};
    tree_.refreshProcess(model_, r.process);
    return {TreeChange::Refreshed, ProcessKey(r.process), LayerKey(r.slot, r.process), {}};
}

ProcessEditor::TreeChange ProcessEditor::InsertCoDep(const QString& key)
{
    armed_ = Armed::None;
    const TreeNode* node = tree_.find(key);
    const InsertResult r = ::InsertCoDep(model_, key, node ? node->text : QString());
    if (!r.inserted())
        return {};
    tree_.refreshProcess(model_, r.process);
    return {TreeChange::Refreshed, ProcessKey(r.process), LayerKey(r.slot, r.process), {}};
}

ProcessEditor::TreeChange ProcessEditor::DeleteLayer(const QString& key)
{
    armed_ = Armed::None;
    if (!::DeleteLayer(model_, key))
        return {};
    return UpdateTreeView();
}

ProcessEditor::TreeChange ProcessEditor::UpdateTreeView()
{
    tree_.rebuild(model_);
    return {TreeChange::Rebuilt, {}, {}, {}};
}

ProcessEditor::TreeChange ProcessEditor::fileOpen()
{
    const std::optional<QString> file = dialogs().openFile(dbOpenRequest());
    if (!file)
        return {};
    Config().DBFileName = *file;
    if (dialogs().message(QStringLiteral("Ovewrite this form with disk data?"), MsgButtons::YesNo,
                          MsgIcon::Question) != MsgResult::Yes)
        return {};
    // A failed load resets the model, so the tree is rebuilt either way.
    DBOpen(Comm_InstrumentID());
    setCaptionFromFile();
    return UpdateTreeView();
}

bool ProcessEditor::chooseAndSave()
{
    FileDialogRequest r;
    r.title = QStringLiteral("Save Database");
    r.filter = kDbFilter;
    r.filterIndex = 1;
    r.defaultExt = QStringLiteral("mdb");
    r.initialDir = ProgramFolder();
    r.fileName = GetNamePart(Config().DBFileName);
    const std::optional<QString> file = dialogs().saveFile(r);
    if (!file)
        return false;
    Config().DBFileName = *file;
    if (!DBSave())
        return false;
    setCaptionFromFile();
    return true;
}

ProcessEditor::TreeChange ProcessEditor::fileSaveAs()
{
    chooseAndSave();
    return {};
}

ProcessEditor::TreeChange ProcessEditor::fileImport()
{
    FileDialogRequest r;
    r.title = QStringLiteral("Import Macleod");
    r.filter = QStringLiteral("CSV Files (*.csv)|*.csv");
    r.filterIndex = 1;
    r.initialDir = ProgramFolder();
    const std::optional<QString> file = dialogs().openFile(r);
    if (!file)
        return {};
    const ImportOutcome out = ImportMacleod(model_, *file, false);
    if (out.end == ImportEnd::FileError || out.end == ImportEnd::NoProcess || out.end == ImportEnd::NoLayers)
        return {};
    TreeChange change = UpdateTreeView();
    change.message = out.finalMessage;
    return change;
}

ProcessEditor::TreeChange ProcessEditor::editFilms()
{
    return run(editors_.film) ? UpdateTreeView() : TreeChange{};
}

void ProcessEditor::editMaterials()
{
    run(editors_.material);
}

void ProcessEditor::editSystem()
{
    run(editors_.system);
}

ProcessEditor::TreeChange ProcessEditor::upload()
{
    if (UploadAll().end == TransferEnd::Declined)
        return {};
    setFormCaption(QStringLiteral("Upload Data"));
    return UpdateTreeView();
}

void ProcessEditor::download()
{
    if (DownloadAll().end != TransferEnd::Declined && Config().UpDnProcesses == 1)
        downloadDone_ = true;
}

bool ProcessEditor::queryClose()
{
    const MsgResult answer =
        dialogs().message(QStringLiteral("Save ") + caption_ + QStringLiteral(" to disk?"),
                          MsgButtons::YesNoCancel, MsgIcon::Question);
    if (answer == MsgResult::Cancel)
        return false;
    // A save that fails keeps the window open, so the changes are not lost.
    if (answer == MsgResult::Yes && !chooseAndSave())
        return false;
    if (host_) {
        host_->setMainEnabled(true);
        if (Comm_Online()) {
            if (downloadDone_)
                host_->loadProcesses();
            host_->startUpdates();
        }
    }
    return true;
}
