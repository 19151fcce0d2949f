#include "runlog/chartconfig.h"

#include "runlog/runloglogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {

// Output and sensor colours as the main window shows them.
constexpr std::array<quint32, kChartSeries> kSeriesColours{0x00FF00, 0xFFFF00, 0x0000FF, 0xFF0000};

struct ChartDefaults {
    const char* file;
    const char* title;
    const char* yLabel;
    const char* seriesPrefix;
    double yMin, yMax, yGrid;
};

constexpr std::array<ChartDefaults, 4> kDefaults{{
    {"AVG_DEP", "Output Rate", "Rate (A/s)", "Output", 0.0, 10.0, 1.0},
    {"DEV_DEP", "Output Rate Deviation", "Dev. (%)", "Output", -50.0, 50.0, 10.0},
    {"PWR_DEP", "Output Power", "Power (%)", "Output", 0.0, 100.0, 10.0},
    {"CH_DEP", "Sensor Rate", "Rate (A/s)", "Sensor", 0.0, 10.0, 1.0},
}};

QString colourText(quint32 rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> parseColour(QString text)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    if (text.size() != 6)
        return std::nullopt;
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return quint32(v);
}

std::optional<double> parseNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok); // QString::toDouble uses the C locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<bool> parseFlag(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("yes"))
        return true;
    if (t == QLatin1String("0") || t == QLatin1String("false") || t == QLatin1String("no"))
        return false;
    return std::nullopt;
}

QString numberText(double v)
{
    return QString::number(v, 'g', 15);
}

void writeAxis(QTextStream& out, const char* section, const ChartAxisConfig& a)
{
    out << '[' << section << "]\n"
        << "Label=" << a.label << '\n'
        << "Min=" << numberText(a.min) << '\n'
        << "Max=" << numberText(a.max) << '\n'
        << "GridSpacing=" << numberText(a.gridSpacing) << '\n'
        << "GridVisible=" << (a.gridVisible ? 1 : 0) << "\n\n";
}

// Applies one key of one section; unknown keys and bad values are ignored.
void applyKey(ChartConfig& cfg, const QString& section, const QString& key, const QString& value)
{
    auto setNumber = [&](double& field) {
        if (auto v = parseNumber(value))
            field = *v;
    };
    auto setFlag = [&](bool& field) {
        if (auto v = parseFlag(value))
            field = *v;
    };
    auto setColour = [&](quint32& field) {
        if (auto v = parseColour(value))
            field = *v;
    };

    if (section == QLatin1String("chart")) {
        if (key == QLatin1String("title"))
            cfg.title = value;
        else if (key == QLatin1String("background"))
            setColour(cfg.background);
        else if (key == QLatin1String("foreground"))
            setColour(cfg.foreground);
        else if (key == QLatin1String("legend"))
            setFlag(cfg.legendVisible);
        return;
    }
    if (section == QLatin1String("xaxis") || section == QLatin1String("yaxis")) {
        ChartAxisConfig& a = section == QLatin1String("xaxis") ? cfg.xAxis : cfg.yAxis;
        if (key == QLatin1String("label"))
            a.label = value;
        else if (key == QLatin1String("min"))
            setNumber(a.min);
        else if (key == QLatin1String("max"))
            setNumber(a.max);
        else if (key == QLatin1String("gridspacing"))
            setNumber(a.gridSpacing);
        else if (key == QLatin1String("gridvisible"))
            setFlag(a.gridVisible);
        return;
    }
    if (section.startsWith(QLatin1String("series"))) {
        bool ok = false;
        const int n = section.mid(6).toInt(&ok);
        if (!ok || n < 1 || n > kChartSeries)
            return;
        ChartSeriesConfig& s = cfg.series[size_t(n - 1)];
        if (key == QLatin1String("name"))
            s.name = value;
        else if (key == QLatin1String("colour") || key == QLatin1String("color"))
            setColour(s.colour);
        else if (key == QLatin1String("width"))
            setNumber(s.lineWidth);
    }
}

bool isKnownSection(const QString& s)
{
    if (s == QLatin1String("chart") || s == QLatin1String("xaxis") || s == QLatin1String("yaxis"))
        return true;
    if (!s.startsWith(QLatin1String("series")))
        return false;
    bool ok = false;
    const int n = s.mid(6).toInt(&ok);
    return ok && n >= 1 && n <= kChartSeries;
}

} // namespace

ChartConfig DefaultChartConfig(const QString& fileName)
{
    const QString base = QFileInfo(fileName).completeBaseName().toUpper();
    const ChartDefaults* d = &kDefaults[0];
    bool known = false;
    for (const ChartDefaults& c : kDefaults) {
        if (base == QLatin1String(c.file)) {
            d = &c;
            known = true;
        }
    }
    ChartConfig cfg;
    cfg.title = known ? QString::fromLatin1(d->title) : QStringLiteral("Chart");
    cfg.xAxis = {QStringLiteral("Time (s)"), 0.0, 100.0, 10.0, true};
    cfg.yAxis = {QString::fromLatin1(d->yLabel), d->yMin, d->yMax, d->yGrid, true};
    for (int s = 0; s < kChartSeries; ++s) {
        cfg.series[size_t(s)].name = QStringLiteral("%1 %2").arg(QLatin1String(d->seriesPrefix)).arg(s + 1);
        cfg.series[size_t(s)].colour = kSeriesColours[size_t(s)];
    }
    return cfg;
}

QString ChartConfigToText(const ChartConfig& cfg)
{
    QString text;
    QTextStream out(&text);
    out << "; DCX700 Comm chart settings\n"
        << "[Chart]\n"
        << "Title=" << cfg.title << '\n'
        << "Background=" << colourText(cfg.background) << '\n'
        << "Foreground=" << colourText(cfg.foreground) << '\n'
        << "Legend=" << (cfg.legendVisible ? 1 : 0) << "\n\n";
    writeAxis(out, "XAxis", cfg.xAxis);
    writeAxis(out, "YAxis", cfg.yAxis);
    for (int s = 0; s < kChartSeries; ++s) {
        const ChartSeriesConfig& sc = cfg.series[size_t(s)];
        out << "[Series" << (s + 1) << "]\n"
            << "Name=" << sc.name << '\n'
            << "Colour=" << colourText(sc.colour) << '\n'
            << "Width=" << numberText(sc.lineWidth) << "\n\n";
    }
    out.flush();
    return text;
}

std::optional<ChartConfig> ChartConfigFromText(const QString& text, const ChartConfig& base)
{
    ChartConfig cfg = base;
    QString section;
    bool sawSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toLower();
            if (isKnownSection(section))
                sawSection = true;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || section.isEmpty())
            continue;
        applyKey(cfg, section, line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    if (!sawSection)
        return std::nullopt;
    return cfg;
}

std::optional<QString> FindFileIgnoringCase(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.isFile())
        return path;
    const QDir dir = fi.dir();
    if (!dir.exists())
        return std::nullopt;
    const QString wanted = fi.fileName();
    QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& e : entries) {
        if (e.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    }
    return std::nullopt;
}

std::optional<ChartConfig> LoadChartConfig(const QString& path, const ChartConfig& base)
{
    const std::optional<QString> found = FindFileIgnoringCase(path);
    if (!found) {
        qCDebug(lcRunlog) << "chart settings file not found:" << path;
        return std::nullopt;
    }
    QFile f(*found);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcRunlog) << "cannot read chart settings" << *found << f.errorString();
        return std::nullopt;
    }
    // A settings file is a few hundred bytes; anything far larger is not one.
    if (f.size() > 1 << 20) {
        qCWarning(lcRunlog) << "chart settings file too large:" << *found;
        return std::nullopt;
    }
    const QString text = QString::fromUtf8(f.readAll());
    auto cfg = ChartConfigFromText(text, base);
    if (!cfg)
        qCWarning(lcRunlog) << "not a chart settings file:" << *found;
    return cfg;
}

bool SaveChartConfig(const QString& path, const ChartConfig& cfg)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCWarning(lcRunlog) << "cannot write chart settings" << path << f.errorString();
        return false;
    }
    f.write(ChartConfigToText(cfg).toUtf8());
    if (!f.commit()) {
        qCWarning(lcRunlog) << "cannot write chart settings" << path << f.errorString();
        return false;
    }
    return true;
}
