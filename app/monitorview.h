#ifndef DCX_APP_MONITORVIEW_H
#define DCX_APP_MONITORVIEW_H

#include <QString>
#include <QtGlobal>

struct ButtonLayout;

// What the update loop and process control need of the main window's
// controls, without knowing any widget: the window implements it over its
// controls, tests over plain values. Indexes i are outputs 0..3.
class MonitorView {
public:
    virtual ~MonitorView();

    // txtPhase, txtLayerNum, txtLayerTotal, txtTime.
    virtual void setPhaseText(const QString& text) = 0;
    virtual QString layerNumText() const = 0;
    virtual void setLayerNumText(const QString& text) = 0;
    virtual QString layerTotalText() const = 0;
    virtual void setLayerTotalText(const QString& text) = 0;
    virtual void setTimeText(const QString& text) = 0;

    // Row i of the output table: txtOutRate, txtOutDev, txtOutThick, txtOutPower.
    virtual void setOutputTexts(int i, const QString& rate, const QString& deviation,
                                const QString& thickness, const QString& power) = 0;
    virtual QString outputPowerText(int i) const = 0;
    // Text colour (0xRRGGBB) of LblOutput(i) and the four fields of row i.
    virtual void setOutputColour(int i, quint32 rgb) = 0;

    // sldManPwr(i). Setting a value the slider does not already hold raises
    // its change event, as the operator moving it does.
    virtual bool sliderVisible(int i) const = 0;
    virtual bool sliderHasFocus(int i) const = 0;
    virtual int sliderValue(int i) const = 0;
    virtual void setSliderValue(int i, int value) = 0;
    virtual void setSlidersEnabled(bool enabled) = 0;

    // cboProcess inside fraOnLine. Selecting an entry by code raises the
    // list's click event; filling it does not.
    virtual bool processListDropped() const = 0;
    virtual int processIndex() const = 0;
    virtual int processCount() const = 0;
    virtual void selectProcess(int index) = 0;
    virtual void clearProcesses() = 0;
    virtual void addProcess(const QString& entry) = 0;
    virtual void setOnlineFrameVisible(bool visible) = 0;

    // The process buttons, the manual-power buttons, the sliders' visibility
    // and the process list's enabled state.
    virtual void applyButtons(const ButtonLayout& layout) = 0;
    // Enables the process list and the operate buttons again after a window
    // that disabled them closes.
    virtual void enableOperateControls() = 0;

    // The link's state for an operator away from the desk: the status bar
    // text, the window caption, and readings greyed while they are stale.
    virtual void setStatusBarText(const QString& text) { Q_UNUSED(text); }
    virtual void setCaption(const QString& text) { Q_UNUSED(text); }
    virtual void setReadingsStale(bool stale) { Q_UNUSED(stale); }
};

#endif
