#ifndef DCX_APP_FRMSENSORS_H
#define DCX_APP_FRMSENSORS_H

#include <QDialog>

class QTableWidget;
class QTimer;

// The sensor readings window: rate, thickness and crystal frequency of the
// four sensors, refreshed four times a second from the readings the main
// window's update loop last read. It sends no commands.
class frmSensors : public QDialog {
    Q_OBJECT
public:
    explicit frmSensors(QWidget* parent = nullptr);

    void Timer1_Timer();

private:
    void Form_Load();
    void InitGrid();

    QTableWidget* grdReading = nullptr;
    QTimer* Timer1 = nullptr;
};

#endif
