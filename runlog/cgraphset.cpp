#include "runlog/cgraphset.h"

#include <QDir>

#include <qcustomplot.h>

const std::array<const char*, GraphCount> cGraphSet::FileNames{"AVG_DEP.OC2", "DEV_DEP.OC2", "PWR_DEP.OC2",
                                                               "CH_DEP.OC2"};

cGraphSet::cGraphSet(const std::array<QCustomPlot*, GraphCount>& plots, const QString& folder)
{
    std::array<ChartModel*, GraphCount> models{};
    for (int i = 0; i < GraphCount; ++i) {
        const QString name = QLatin1String(FileNames[size_t(i)]);
        auto g = std::make_unique<cGraph>(plots[size_t(i)], DefaultChartConfig(name));
        g->setTitle(name.left(name.indexOf(QLatin1Char('.'))));
        g->setCfg_Filename(QDir(folder).filePath(name));
        // A missing or unreadable file leaves the built-in settings.
        g->Cfg_Load();
        g->takeSettingsFromChart();
        models[size_t(i)] = g.get();
        graphs_[size_t(i)] = std::move(g);
    }
    if (plots[0])
        setPlace(plots[0]->geometry());
    live_ = std::make_unique<LiveGraphs>(models);
}

void cGraphSet::setPlace(const QRect& r)
{
    for (auto& g : graphs_) {
        g->GraphTop = r.top();
        g->GraphLeft = r.left();
        g->GraphHeight = r.height();
        g->GraphWidth = r.width();
    }
}
