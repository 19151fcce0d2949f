#ifndef DCX_APP_FRMSPLASH_H
#define DCX_APP_FRMSPLASH_H

#include "support/progress.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of the database load and of upload and download. While
// it is shown the window that was active is disabled and the pointer over the
// progress window is the hourglass. Transfers get a Cancel button: a click is
// only noted here, and the transfer reads it between records.
class frmSplash : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

    void show(const QString& caption) override;
    void setLabel1(const QString& text) override;
    void setLabel2(const QString& text) override;
    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    void hide() override;
    void setCancellable(bool on) override;
    bool cancelRequested() const override { return cancelRequested_; }

protected:
    void reject() override;

private:
    void Form_Load();
    void Form_Unload();
    void cmdCancel_Click();

    QProgressBar* prgLoadStat = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdCancel = nullptr;
    bool cancelRequested_ = false;
    QPointer<QWidget> disabled_;
};

#endif
