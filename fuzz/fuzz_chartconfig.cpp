// Chart settings files: any text is read without harm, and what is read
// survives a save and a load unchanged.

#include "fuzz/fuzzcheck.h"
#include "runlog/chartconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir;
}

// A carriage return inside a value (a lone CR in a damaged file) is kept by
// the text reader but dropped by the file loader, which reads in text mode.
bool holdsCarriageReturn(const ChartConfig& c)
{
    bool cr = c.title.contains(QLatin1Char('\r')) || c.xAxis.label.contains(QLatin1Char('\r')) ||
              c.yAxis.label.contains(QLatin1Char('\r'));
    for (const ChartSeriesConfig& s : c.series)
        cr = cr || s.name.contains(QLatin1Char('\r'));
    return cr;
}

void sameTexts(const ChartConfig& a, const ChartConfig& b)
{
    FUZZ_CHECK(a.title == b.title && a.background == b.background && a.foreground == b.foreground);
    FUZZ_CHECK(a.legendVisible == b.legendVisible);
    FUZZ_CHECK(a.xAxis.label == b.xAxis.label && a.xAxis.gridVisible == b.xAxis.gridVisible);
    FUZZ_CHECK(a.yAxis.label == b.yAxis.label && a.yAxis.gridVisible == b.yAxis.gridVisible);
    for (int s = 0; s < kChartSeries; ++s)
        FUZZ_CHECK(a.series[size_t(s)].name == b.series[size_t(s)].name &&
                   a.series[size_t(s)].colour == b.series[size_t(s)].colour);
}

} // namespace

std::vector<std::string> FuzzSeedInputs()
{
    return {
        ChartConfigToText(DefaultChartConfig(QStringLiteral("AVG_DEP.OC2"))).toStdString(),
        ChartConfigToText(DefaultChartConfig(QStringLiteral("DEV_DEP.OC2"))).toStdString(),
        "[chart]\r\ntitle = Rate \xc3\x85/s\r\nbackground=#0a0B0c\r\nlegend=no\r\n[yaxis]\r\nmin=-1e3\r\n"
        "max=1.5E2\r\n[series4]\r\ncolor=ff00ff\r\nwidth=0.25\r\n",
        "# c\n[Series0]\n[Series5]\nName=x\n[XAxis\nLabel=no close\nMin=nan\nMax=inf\nGridSpacing=1e400\n"};
}

std::string FuzzDictionary()
{
    return "[]=#;\n\r .-+e0123456789ChartXYAxisSeries";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    const ChartConfig base = DefaultChartConfig(QStringLiteral("AVG_DEP.OC2"));
    const auto c1 = ChartConfigFromText(text, base);
    if (!c1)
        return 0;
    // Written out and read back, the settings keep their texts and colours;
    // numbers settle after one save.
    const auto c2 = ChartConfigFromText(ChartConfigToText(*c1), base);
    FUZZ_CHECK(c2.has_value());
    sameTexts(*c1, *c2);
    const auto c3 = ChartConfigFromText(ChartConfigToText(*c2), DefaultChartConfig(QStringLiteral("x")));
    FUZZ_CHECK(c3.has_value() && *c3 == *c2);

    // Through a real file: saved, then found again under another case.
    const QString path = scratch().filePath(QStringLiteral("pwr_dep.oc2"));
    FUZZ_CHECK(SaveChartConfig(path, *c2));
    const auto loaded = LoadChartConfig(scratch().filePath(QStringLiteral("PWR_DEP.OC2")), base);
    FUZZ_CHECK(loaded.has_value());
    if (!holdsCarriageReturn(*c2))
        FUZZ_CHECK(*loaded == *c2);
    return 0;
}
