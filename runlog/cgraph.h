#ifndef DCX_RUNLOG_CGRAPH_H
#define DCX_RUNLOG_CGRAPH_H

#include "runlog/chartmodel.h"

#include <QObject>

class QCPTextElement;
class QCustomPlot;
class QMenu;

// One live chart drawn on a QCustomPlot: the chart model's settings, series
// and points mirrored onto the plot. Every change outside a batch, and every
// batch as a whole, is drawn with one replot; a hidden chart is drawn when it
// is shown again. Right-clicking the chart offers "Save Image..." and
// "Copy Data".
class cGraph : public QObject, public ChartModel {
    Q_OBJECT
public:
    // design: the chart's settings when its file is missing.
    explicit cGraph(QCustomPlot* control, ChartConfig design, QObject* parent = nullptr);
    ~cGraph() override;

    QCustomPlot* GraphControl() const { return plot_; }

    // The right-click menu's entries.
    void populateContextMenu(QMenu& menu);
    // Asks for a file name and saves the chart as a PNG image. False when
    // cancelled or the file could not be written (the operator is told).
    bool SaveImage();
    // The visible samples as comma-separated text on the clipboard.
    void CopyData();

protected:
    void changed(unsigned changes) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpPlot();
    void applyStyle();
    void applyAxes();
    void applyData();
    void applyGeometry();
    void redraw();
    void showContextMenu(const QPoint& pos);

    QCustomPlot* plot_ = nullptr; // owned by its window; cleared when destroyed
    QCPTextElement* title_ = nullptr;
    bool stale_ = false;
};

#endif
