#ifndef DCX_PROCESS_FRMCOMPARE_H
#define DCX_PROCESS_FRMCOMPARE_H

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// The list of differences between the PC's model and the instrument, shown
// after Edit, "Compare with Instrument"; Save writes it as a text file.
class frmCompare : public QDialog {
    Q_OBJECT
public:
    frmCompare(const QStringList& lines, QWidget* parent = nullptr);

    void cmdSave_Click();

private:
    QStringList lines_;
    QListWidget* lstDiff = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
};

#endif
