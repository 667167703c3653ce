#include "proctor/analysis/quality_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace exam {

namespace {

QValueAxis *axis(const QString &title, double from, double to, int ticks, const QString &format)
{
    auto *result = new QValueAxis;
    result->setTitleText(title);
    result->setRange(from, to);
    result->setTickCount(ticks);
    result->setLabelFormat(format);
    return result;
}

void attach(QChart *chart, QAbstractSeries *series, QAbstractAxis *x, QAbstractAxis *y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// A filled rectangle of the item map.
QAreaSeries *zone(const QString &name, const QRectF &rect, const QColor &colour)
{
    auto *top = new QLineSeries;
    top->append(rect.left(), rect.bottom());
    top->append(rect.right(), rect.bottom());
    auto *bottom = new QLineSeries;
    bottom->append(rect.left(), rect.top());
    bottom->append(rect.right(), rect.top());
    auto *area = new QAreaSeries(top, bottom);
    // An area series does not own its lines.
    top->setParent(area);
    bottom->setParent(area);
    area->setName(name);
    area->setColor(colour);
    area->setPen(Qt::NoPen);
    return area;
}

} // namespace

QChart *makeScoreHistogram(const ItemAnalysis &analysis)
{
    const ScoreHistogram &histogram = analysis.histogram;
    const double top = histogram.top > 0 ? histogram.top : 1;
    const double width = top / HistogramBins;
    // Whole numbers on the count axis: at most ten steps of a whole size.
    const int most =
        std::max(1, *std::max_element(histogram.counts.cbegin(), histogram.counts.cend()));
    const int step = (most + 9) / 10;
    const int steps = (most + step - 1) / step;

    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("成绩分布"));
    auto *x = axis(QStringLiteral("成绩"), 0, top, HistogramBins + 1, QStringLiteral("%g"));
    auto *y = axis(QStringLiteral("人数"), 0, steps * step, steps + 1, QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    // The bars as one stepped outline with the area below it filled.
    auto *outline = new QLineSeries;
    outline->append(0, 0);
    for (int bin = 0; bin < HistogramBins; ++bin) {
        outline->append(bin * width, histogram.counts[size_t(bin)]);
        outline->append((bin + 1) * width, histogram.counts[size_t(bin)]);
    }
    outline->append(top, 0);
    auto *bars = new QAreaSeries(outline);
    outline->setParent(bars);
    bars->setName(QStringLiteral("人数"));
    bars->setColor(QColor(0x4f, 0x81, 0xbd, 200));
    bars->setBorderColor(QColor(0x1f, 0x38, 0x64));
    attach(chart, bars, x, y);

    const GradeThresholds &limits = histogram.gradeLimits;
    const std::array<std::pair<qint16, const char16_t *>, 4> bands = {{{limits.excellent, u"优秀"},
                                                                       {limits.good, u"良好"},
                                                                       {limits.medium, u"中等"},
                                                                       {limits.pass, u"及格"}}};
    const std::array<QColor, 4> colours = {QColor(0x2e, 0x7d, 0x32), QColor(0x00, 0x83, 0x8f),
                                           QColor(0xef, 0x6c, 0x00), QColor(0xc6, 0x28, 0x28)};
    for (size_t band = 0; band < bands.size(); ++band) {
        const double limit = bands[band].first;
        if (limit <= 0 || limit > top)
            continue;
        auto *line = new QLineSeries;
        line->setName(
            QStringLiteral("%1 %2").arg(QString::fromUtf16(bands[band].second)).arg(limit));
        line->append(limit, 0);
        line->append(limit, most);
        line->setPen(QPen(colours[band], 2, Qt::DashLine));
        attach(chart, line, x, y);
    }
    return chart;
}

ItemMap makeItemMap(const ItemAnalysis &analysis)
{
    ItemMap map;
    map.chart = new QChart;
    map.chart->setTitle(QStringLiteral("难度与区分度"));
    auto *x = axis(QStringLiteral("难度P（答对比例）"), 0, 1, 11, QStringLiteral("%.1f"));
    auto *y = axis(QStringLiteral("区分度D"), -1, 1, 11, QStringLiteral("%.1f"));
    map.chart->addAxis(x, Qt::AlignBottom);
    map.chart->addAxis(y, Qt::AlignLeft);

    attach(map.chart,
           zone(QStringLiteral("答案可能有误"), QRectF(0, -1, 1, 1), QColor(198, 40, 40, 60)), x,
           y);
    attach(map.chart,
           zone(QStringLiteral("区分度低"), QRectF(0, 0, 1, 0.2), QColor(255, 193, 7, 70)), x, y);
    attach(map.chart, zone(QStringLiteral("过难"), QRectF(0, -1, 0.2, 2), QColor(94, 53, 177, 45)),
           x, y);
    attach(map.chart,
           zone(QStringLiteral("过易"), QRectF(0.9, -1, 0.1, 2), QColor(0, 131, 143, 45)), x, y);

    map.points = new QScatterSeries;
    map.points->setName(QStringLiteral("题目"));
    map.points->setMarkerSize(9);
    map.points->setColor(QColor(0x1f, 0x38, 0x64));
    map.points->setBorderColor(Qt::white);
    map.points->setSelectedColor(QColor(255, 111, 0));
    for (const ItemFigures &item : analysis.items)
        map.points->append(item.facility, item.discrimination);
    attach(map.chart, map.points, x, y);
    return map;
}

int nearestItem(const QList<ItemFigures> &items, const QPointF &point)
{
    int nearest = -1;
    double best = 0;
    for (int i = 0; i < items.size(); ++i) {
        const double dx = items.at(i).facility - point.x();
        const double dy = items.at(i).discrimination - point.y();
        const double distance = dx * dx + dy * dy;
        if (nearest < 0 || distance < best) {
            nearest = i;
            best = distance;
        }
    }
    return nearest;
}

} // namespace exam
