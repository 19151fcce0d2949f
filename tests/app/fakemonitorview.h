#ifndef DCX_TESTS_APP_FAKEMONITORVIEW_H
#define DCX_TESTS_APP_FAKEMONITORVIEW_H

// The main window's controls as plain values, for the run monitor tests.
// Selecting a process or moving a slider by code raises the control's event
// on the monitor, as the window's controls do.
#include "app/buttontable.h"
#include "app/monitorview.h"
#include "app/runmonitor.h"

#include <QStringList>
#include <array>

class FakeMonitorView final : public MonitorView {
public:
    RunMonitor* monitor = nullptr;

    QString phase, layerNum, layerTotal, time;
    QStringList phaseHistory;         // every phase text set, in order
    std::array<QStringList, 4> row{}; // rate, dev, thick, power
    std::array<quint32, 4> colour{0, 0, 0, 0};
    int colourChanges = 0;
    std::array<int, 4> slider{0, 0, 0, 0};
    std::array<bool, 4> sliderFocus{false, false, false, false};
    bool slidersShown = false;
    QStringList processes;
    int selected = -1;
    bool dropped = false, onlineFrame = false;
    ButtonLayout buttons; // the last layout applied

    void setPhaseText(const QString& t) override
    {
        phase = t;
        phaseHistory << t;
    }
    QString layerNumText() const override { return layerNum; }
    void setLayerNumText(const QString& t) override { layerNum = t; }
    QString layerTotalText() const override { return layerTotal; }
    void setLayerTotalText(const QString& t) override { layerTotal = t; }
    void setTimeText(const QString& t) override { time = t; }
    void setOutputTexts(int i, const QString& r, const QString& d, const QString& t,
                        const QString& p) override
    {
        row[size_t(i)] = QStringList{r, d, t, p};
    }
    QString outputPowerText(int i) const override { return row[size_t(i)].value(3); }
    void setOutputColour(int i, quint32 rgb) override { colour[size_t(i)] = rgb, ++colourChanges; }
    bool sliderVisible(int) const override { return slidersShown; }
    bool sliderHasFocus(int i) const override { return sliderFocus[size_t(i)]; }
    int sliderValue(int i) const override { return slider[size_t(i)]; }
    void setSliderValue(int i, int v) override
    {
        v = qBound(0, v, 100);
        if (slider[size_t(i)] == v)
            return;
        slider[size_t(i)] = v;
        if (monitor)
            monitor->sldManPwr_Change(i);
    }
    void setSlidersEnabled(bool) override {}
    bool processListDropped() const override { return dropped; }
    int processIndex() const override { return selected; }
    int processCount() const override { return int(processes.size()); }
    void selectProcess(int index) override
    {
        if (index == selected)
            return;
        selected = index;
        if (monitor && index >= 0)
            monitor->cboProcess_Click();
    }
    void clearProcesses() override
    {
        processes.clear();
        selected = -1;
    }
    void addProcess(const QString& e) override { processes << e; }
    void setOnlineFrameVisible(bool v) override { onlineFrame = v; }
    void applyButtons(const ButtonLayout& l) override
    {
        buttons = l;
        slidersShown = l.sliders;
    }
    void enableOperateControls() override {}
};

class CountingHooks final : public RunHooks {
public:
    int inits = 0;
    int samples = 0;
    int advances = 0;
    int gaps = 0;
    void InitGraph() override { ++inits; }
    void UpdateGraph() override { ++samples; }
    void AdvancePointIndex() override { ++advances; }
    void MarkGap() override { ++gaps; }
};

#endif
