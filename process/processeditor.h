#ifndef DCX_PROCESS_PROCESSEDITOR_H
#define DCX_PROCESS_PROCESSEDITOR_H

#include "process/processtree.h"

#include <QString>
#include <functional>

struct ParameterModel;

// What the process window asks of the main window while it is open.
class ProcessWindowHost {
public:
    virtual ~ProcessWindowHost();
    virtual void stopUpdates() = 0; // the update timer
    virtual void startUpdates() = 0;
    virtual void setMainEnabled(bool enabled) = 0;
    virtual void loadProcesses() = 0; // refill the process list from the instrument
};

// The process window without its widgets: the tree, the armed operation, the
// caption, the file commands, the import, the transfers and the closing
// prompt. The window maps the tree onto its widget after each call that
// returns a TreeChange.
class ProcessEditor {
public:
    enum class Armed { None, InsertLayer, InsertCoDep, DeleteLayer };

    // How the tree changed: Rebuilt (every node may differ), Refreshed (the
    // nodes of one process; scrollTo names the new layer's node), Text (one
    // node's text, key). message: shown once the tree shows the change.
    struct TreeChange {
        enum Kind { None, Rebuilt, Refreshed, Text } kind = None;
        QString key;
        QString scrollTo;
        QString message;
    };

    // The editors opened from node clicks and the Edit menu; each returns
    // true when OK stored changes. Unset ones do nothing.
    struct Editors {
        std::function<bool()> layer, film, material, system;
    };

    ProcessEditor(ParameterModel& model, ProcessWindowHost* host = nullptr);

    void setEditors(Editors editors) { editors_ = std::move(editors); }
    const ProcessTree& tree() const { return tree_; }
    void setExpanded(const QString& key, bool expanded) { tree_.setExpanded(key, expanded); }

    // FormCaption: the trimmed text; the window title is "DCX-700 - [" + it + "]".
    QString formCaption() const { return caption_; }
    void setFormCaption(const QString& text) { caption_ = text.trimmed(); }
    QString windowTitle() const;

    bool downloadDone() const { return downloadDone_; }
    void setDownloadDone(bool done) { downloadDone_ = done; }
    bool loading() const { return loading_; }

    // Opening: main window stopped and disabled, model reset and read from
    // DBFileName (asking for a file when it does not exist), tree rebuilt.
    TreeChange load();

    // Arming buttons: false (and nothing armed) while another operation is armed.
    bool arm(Armed op);
    Armed armed() const { return armed_; }

    // A click on the node with key: the armed operation, else the editor of
    // the node (film, layer, or the rename dialog of a process).
    TreeChange nodeClick(const QString& key);
    TreeChange EditLayer(const QString& key);
    TreeChange InsertLayer(const QString& key);
    TreeChange InsertCoDep(const QString& key);
    TreeChange DeleteLayer(const QString& key);
    TreeChange UpdateTreeView();

    // File menu and Edit menu.
    TreeChange fileOpen();
    TreeChange fileSaveAs();
    TreeChange fileImport();
    TreeChange editFilms();
    void editMaterials();
    void editSystem();

    // Upload and download buttons.
    TreeChange upload();
    void download();

    // The closing prompt. True when the window may close; the main window has
    // then been enabled and, with the link online, restarted.
    bool queryClose();

private:
    bool chooseAndSave();
    void setCaptionFromFile();

    ParameterModel& model_;
    ProcessWindowHost* host_;
    Editors editors_;
    ProcessTree tree_;
    Armed armed_ = Armed::None;
    QString caption_;
    bool downloadDone_ = false;
    bool loading_ = false;
};

#endif
