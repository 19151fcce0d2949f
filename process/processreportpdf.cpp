#include "process/processreportpdf.h"

#include "process/processreport.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>

namespace {

constexpr double kBodyPt = 8.0;    // table text
constexpr double kMinBodyPt = 5.0; // a table never shrinks below this
constexpr double kTitlePt = 14.0;
constexpr double kSectionPt = 11.0;

const QColor kShade(236, 240, 246);
const QColor kHeaderFill(214, 222, 235);
const QColor kRule(150, 150, 150);

// One table to paint: headings, rows, and a group per row; rows of the same
// group share their shading (a co-deposition step, a film parameter).
struct PaintTable {
    QStringList headings;
    std::vector<QStringList> rows;
    std::vector<int> groups;
    QList<int> boldColumns; // parameter names
};

class ReportPainter {
public:
    ReportPainter(QPainter& p, QPagedPaintDevice& device, QString footer)
        : p_(p), device_(device), footer_(std::move(footer))
    {
        area_ = QRectF(0, 0, p.device()->width(), p.device()->height());
        y_ = area_.top();
        pad_ = pt(2.5);
    }

    int pages() const { return pages_; }
    double width() const { return area_.width(); }

    // Points to device units.
    double pt(double points) const { return points * p_.device()->logicalDpiY() / 72.0; }

    QFont font(double points, bool bold = false, bool italic = false) const
    {
        QFont f(QStringLiteral("Sans"));
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setItalic(italic);
        return f;
    }

    void text(const QString& s, const QFont& f, double spaceAfter = 0)
    {
        p_.setFont(f);
        const QRectF r = p_.boundingRect(QRectF(area_.left(), 0, area_.width(), 1e6), Qt::TextWordWrap, s);
        ensure(r.height());
        p_.setPen(Qt::black);
        p_.drawText(QRectF(area_.left(), y_, area_.width(), r.height()), Qt::TextWordWrap, s);
        y_ += r.height() + spaceAfter;
    }

    void space(double points) { y_ += pt(points); }

    // Makes room for h below the current line, on a new page when needed.
    // True when a new page was started.
    bool ensure(double h)
    {
        if (y_ + h <= bottom() || y_ == area_.top())
            return false;
        newPage();
        return true;
    }

    void newPage()
    {
        footer();
        device_.newPage();
        ++pages_;
        y_ = area_.top();
    }

    void finish() { footer(); }

    void table(const PaintTable& t, const QString& continued);

private:
    double bottom() const { return area_.bottom() - pt(kBodyPt) * 2.2; }

    void footer()
    {
        p_.setFont(font(kBodyPt - 1));
        p_.setPen(Qt::darkGray);
        const QRectF r(area_.left(), area_.bottom() - pt(kBodyPt) * 1.5, area_.width(), pt(kBodyPt) * 1.5);
        p_.drawText(r, Qt::AlignLeft | Qt::AlignBottom, footer_);
        p_.drawText(r, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1").arg(pages_));
    }

    QPainter& p_;
    QPagedPaintDevice& device_;
    QString footer_;
    QRectF area_;
    double y_ = 0;
    double pad_ = 0;
    int pages_ = 1;
};

// Column widths for a font: the widest cell, and for headings (which wrap)
// their longest word.
std::vector<double> columnWidths(const PaintTable& t, const QFont& body, const QFont& head, double pad,
                                 QPaintDevice* device)
{
    QFont bold = body;
    bold.setBold(true);
    const QFontMetricsF bm(body, device), hm(head, device), boldm(bold, device);
    std::vector<double> w(size_t(t.headings.size()), 0.0);
    for (qsizetype c = 0; c < t.headings.size(); ++c) {
        for (const QString& word : t.headings.at(c).split(u' '))
            w[size_t(c)] = std::max(w[size_t(c)], hm.horizontalAdvance(word));
        for (const QStringList& row : t.rows)
            if (c < row.size())
                w[size_t(c)] = std::max(
                    w[size_t(c)], (t.boldColumns.contains(int(c)) ? boldm : bm).horizontalAdvance(row.at(c)));
        w[size_t(c)] += 2 * pad;
    }
    return w;
}

void ReportPainter::table(const PaintTable& t, const QString& continued)
{
    // The largest font at which the table fits the width; the rest is spread
    // over the columns so the table spans the page.
    double size = kBodyPt;
    QFont body = font(size), head = font(size, true);
    std::vector<double> w = columnWidths(t, body, head, pad_, p_.device());
    while (std::accumulate(w.begin(), w.end(), 0.0) > area_.width() && size > kMinBodyPt) {
        size -= 0.25;
        body = font(size);
        head = font(size, true);
        w = columnWidths(t, body, head, pad_ * size / kBodyPt, p_.device());
    }
    const double total = std::accumulate(w.begin(), w.end(), 0.0);
    if (total < area_.width() && !w.empty()) {
        const double extra = (area_.width() - total) / double(w.size());
        for (double& x : w)
            x += std::min(extra, pt(30));
    }
    const double pad = pad_ * size / kBodyPt;
    const double rowH = QFontMetricsF(body, p_.device()).height() + pad;
    QFont bold = body;
    bold.setBold(true);

    auto header = [&] {
        p_.setFont(head);
        double h = 0;
        for (qsizetype c = 0; c < t.headings.size(); ++c)
            h = std::max(h, p_.boundingRect(QRectF(0, 0, w[size_t(c)] - 2 * pad, 1e6), Qt::TextWordWrap,
                                            t.headings.at(c))
                                .height());
        h += pad;
        double x = area_.left();
        p_.fillRect(QRectF(x, y_, std::accumulate(w.begin(), w.end(), 0.0), h), kHeaderFill);
        p_.setPen(Qt::black);
        for (qsizetype c = 0; c < t.headings.size(); ++c) {
            p_.drawText(QRectF(x + pad, y_ + pad / 2, w[size_t(c)] - 2 * pad, h),
                        Qt::TextWordWrap | Qt::AlignLeft, t.headings.at(c));
            x += w[size_t(c)];
        }
        y_ += h;
    };

    header();
    const double tableWidth = std::accumulate(w.begin(), w.end(), 0.0);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (ensure(rowH)) {
            text(continued, font(kSectionPt, true), pt(3));
            header();
        }
        const bool newGroup = r > 0 && t.groups[r] != t.groups[r - 1];
        if (t.groups[r] % 2 == 0)
            p_.fillRect(QRectF(area_.left(), y_, tableWidth, rowH), kShade);
        if (newGroup) {
            p_.setPen(QPen(kRule, 0));
            p_.drawLine(QPointF(area_.left(), y_), QPointF(area_.left() + tableWidth, y_));
        }
        p_.setPen(Qt::black);
        double x = area_.left();
        for (qsizetype c = 0; c < t.rows[r].size() && size_t(c) < w.size(); ++c) {
            p_.setFont(t.boldColumns.contains(int(c)) ? bold : body);
            p_.drawText(QRectF(x + pad, y_, w[size_t(c)] - 2 * pad, rowH), Qt::AlignLeft | Qt::AlignVCenter,
                        t.rows[r].at(c));
            x += w[size_t(c)];
        }
        y_ += rowH;
    }
    p_.setPen(QPen(kRule, 0));
    p_.drawLine(QPointF(area_.left(), y_), QPointF(area_.left() + tableWidth, y_));
}

// The film table turned on its side, a column per film and a row per
// parameter, the parameters in two halves side by side so that a page holds
// it, and in slices of films that fit the width.
std::vector<PaintTable> filmTables(const ReportTable& films, int perTable)
{
    std::vector<PaintTable> out;
    const qsizetype params = films.headings.size() - 1; // without "Film"
    const qsizetype half = (params + 1) / 2;
    for (size_t first = 0; first < films.rows.size(); first += size_t(perTable)) {
        const size_t last = std::min(films.rows.size(), first + size_t(perTable));
        PaintTable t;
        QStringList filmHeads;
        for (size_t f = first; f < last; ++f)
            filmHeads << QStringLiteral("Film %1").arg(films.rows[f].value(0));
        t.headings << QString() << filmHeads << QString() << QString() << filmHeads;
        t.boldColumns = {0, int(filmHeads.size()) + 2};
        for (qsizetype k = 1; k <= half; ++k) {
            QStringList row;
            for (const qsizetype param : {k, k + half}) {
                if (!row.isEmpty())
                    row << QString(); // the gap between the halves
                row << (param <= params ? films.headings.at(param) : QString());
                for (size_t f = first; f < last; ++f)
                    row << (param <= params ? films.rows[f].value(param) : QString());
            }
            t.rows.push_back(row);
            t.groups.push_back(int(k));
        }
        out.push_back(std::move(t));
    }
    return out;
}

} // namespace

int PaintProcessReport(const ProcessReport& report, QPagedPaintDevice& device)
{
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const QString title = ProcessReportTitle(report);
    ReportPainter rp(p, device, QStringLiteral("DCX700 Comm process report  \u00b7  ") + title);

    rp.text(title, rp.font(kTitlePt, true), rp.pt(3));
    QStringList facts{QStringLiteral("%1 step(s), %2 layer(s), %3 film(s)")
                          .arg(report.steps)
                          .arg(report.layers.rows.size())
                          .arg(report.films.rows.size())};
    if (!report.source.isEmpty())
        facts << QStringLiteral("Database: ") + QFileInfo(report.source).fileName();
    if (!report.printed.isEmpty())
        facts << QStringLiteral("Printed: ") + report.printed;
    rp.text(facts.join(QStringLiteral("    ")), rp.font(kBodyPt + 1), rp.pt(4));
    for (const QString& note : report.notes)
        rp.text(note, rp.font(kBodyPt + 1, false, true), rp.pt(2));

    if (!report.layers.rows.empty()) {
        rp.space(6);
        rp.text(QStringLiteral("Layers"), rp.font(kSectionPt, true), rp.pt(3));
        rp.text(QStringLiteral("Each step is one co-deposition group: its primary layer, then the partners "
                               "deposited at the same time. Thicknesses in kÅ, rates in Å/s, layer times in "
                               "the instrument's unit, film times as h:mm:ss."),
                rp.font(kBodyPt), rp.pt(3));
        PaintTable layers{report.layers.headings, report.layers.rows, {}, {}};
        for (const QStringList& row : report.layers.rows)
            layers.groups.push_back(row.value(0).toInt());
        rp.table(layers, QStringLiteral("Layers (continued)"));
    }
    if (!report.films.rows.empty()) {
        for (const PaintTable& t : filmTables(report.films, 4)) {
            rp.space(8);
            // Keep the section title with its table.
            rp.ensure(rp.pt(kBodyPt) * 1.6 * double(t.rows.size() + 5));
            rp.text(QStringLiteral("Films"), rp.font(kSectionPt, true), rp.pt(3));
            rp.table(t, QStringLiteral("Films (continued)"));
        }
    }
    rp.finish();
    p.end();
    return rp.pages();
}

bool WriteProcessReportPdf(const ProcessReport& report, const QString& path, QString* error, int* pages)
{
    {
        // QPdfWriter says nothing about why a file cannot be made.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = probe.errorString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setTitle(ProcessReportTitle(report));
    writer.setCreator(QStringLiteral("DCX700 Comm"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    const int n = PaintProcessReport(report, writer);
    if (pages)
        *pages = n;
    if (n == 0) {
        if (error)
            *error = QStringLiteral("cannot be written");
        return false;
    }
    return true;
}
