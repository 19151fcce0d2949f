#ifndef DCX_EDITORS_FRMFILM_H
#define DCX_EDITORS_FRMFILM_H

#include "editors/filmsplit.h"

#include <QDialog>
#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class UpDownWidget;

// The film editor: the 50 films, one on show at a time, over three tabs.
// Switching films stores the film left; OK stores the film on show; any other
// close drops only the changes to the film on show. A rename is stored at once.
class frmFilm : public QDialog {
    Q_OBJECT
public:
    explicit frmFilm(QWidget* parent = nullptr);

    int currentFilm() const { return currentFilm_; }

    void SaveFilm();
    void RenameFilm();
    void cboFilms_Click();
    void cmbMaterial_Click();
    void cmdOK_Click();
    void optCntrlErr_Click();
    void optRateSampling_Click();

    // Change handlers. A pair's handler (spnFeedRamp_Change and its family)
    // is one, told the pair's row in FilmPairRows().
    void spnPair_Change(int row);
    void spnPocket_Change();
    void spnFilmTooling_Change();
    void spnPropTerm_Change();
    void spnXtalQual_Change();
    void spnXtalStab_Change();
    void spnCapture_Change();
    void spnControlError_Change();

private:
    void buildControls();
    void Form_Load();
    // InitTabMain, InitTabCondition and InitTabControl in one: the three tabs
    // from the current film.
    void InitTabs();
    void InitTabMain();
    FilmEdit readControls() const;
    void txtPTerm_Change();

    struct PairControls {
        QLabel* label = nullptr;
        QLineEdit* txt = nullptr;
        UpDownWidget* high = nullptr;
        UpDownWidget* low = nullptr;
    };

    int currentFilm_ = 1;
    QString currentFilmName_; // as stored, 16 characters
    bool loading_ = false;

    QComboBox* cboFilms = nullptr;
    QTabWidget* tabFilm = nullptr;
    QComboBox* cmbMaterial = nullptr;
    UpDownWidget* spnPocket = nullptr;
    UpDownWidget* spnFilmTooling = nullptr;
    UpDownWidget* spnPropTerm = nullptr;
    UpDownWidget* spnXtalQual = nullptr;
    UpDownWidget* spnXtalStab = nullptr;
    UpDownWidget* spnCapture = nullptr;
    UpDownWidget* spnControlError = nullptr;
    QLineEdit* txtPocket = nullptr;
    QLineEdit* txtFilmTooling = nullptr;
    QLineEdit* txtPTerm = nullptr;
    QLineEdit* txtXtalQual = nullptr;
    QLineEdit* txtXtalStab = nullptr;
    QLineEdit* txtCapture = nullptr;
    QLineEdit* txtControlError = nullptr;
    QLabel* lblControlError = nullptr;
    std::array<QRadioButton*, 2> optXtalFail{};
    std::array<QRadioButton*, 3> optCntrlErr{};
    std::array<QRadioButton*, 3> optRateSampling{};
    std::array<PairControls, kFilmPairs> pairs_{};
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdOK = nullptr;
};

#endif
