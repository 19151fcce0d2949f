#include "app/frmmain.h"

// The live graphs of the main window: the four chart wrappers over the chart
// controls, their settings files in the program folder, the samples of the
// update tick and the graph settings window.

#include "commands/readingsrecord.h"
#include "runlog/cgraphset.h"
#include "runlog/frmdatalog.h"
#include "runlog/frmgraphset.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/programfolder.h"

#include <QAction>
#include <QStackedWidget>
#include <qcustomplot.h>

void frmMain::GraphSetDeleter::operator()(cGraphSet* g) const
{
    delete g;
}

void frmMain::BuildGraphs()
{
    Graphs.reset(new cGraphSet({AverageGraph, DevGraph, PowerGraph, ChannelGraph}, ProgramFolder()));
    connect(mnuEditGraph, &QAction::triggered, this, &frmMain::mnuEditGraph_Click);
    mnuEditGraph->setEnabled(true);
    connect(mnuEditLog, &QAction::triggered, this, &frmMain::mnuEditLog_Click);
    mnuEditLog->setEnabled(true);
}

void frmMain::InitGraph()
{
    if (!Graphs)
        return;
    LiveGraphs& live = Graphs->live();
    live.setPointRestart(PointRestart >= 1.0 ? int(PointRestart) : 1);
    live.InitGraph(Readings(), appClock().secondsSinceMidnight(), RunStartTime);
}

void frmMain::UpdateGraph()
{
    if (!Graphs)
        return;
    Graphs->live().UpdateGraph(Readings(), appClock().secondsSinceMidnight(), RunStartTime);
}

void frmMain::MarkGap()
{
    if (Graphs)
        Graphs->live().MarkGap();
}

void frmMain::AdvancePointIndex()
{
    if (Graphs)
        Graphs->live().AdvancePointIndex();
}

void frmMain::PlaceGraphs()
{
    if (Graphs)
        Graphs->setPlace(AverageGraph->geometry());
}

void frmMain::mnuEditLog_Click()
{
    frmDataLog settings(this);
    settings.exec();
}

void frmMain::mnuEditGraph_Click()
{
    const qint16 display = Display();
    if (!Graphs || display < 0 || display >= GraphCount)
        return;
    frmGraphSet settings(Graphs->graph(display), this);
    settings.exec();
}
