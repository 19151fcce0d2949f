#ifndef DCX_APP_FRMABOUT_H
#define DCX_APP_FRMABOUT_H

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

// The about window: title, version, maker, and a button that starts the
// desktop's system-information program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Where the system-information program is looked for (empty: the PATH).
    void setSearchPaths(const QStringList& paths) { searchPaths_ = paths; }

private:
    void Form_Load();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QStringList searchPaths_;
};

#endif
