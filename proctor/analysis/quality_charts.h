#pragma once

// The two charts of the quality analysis, shared by the window and the PDF report.

#include "proctor/results/item_analysis.h"

#include <QPointF>

class QChart;
class QScatterSeries;

namespace exam {

// The scores in ten equal bins from 0 to the full mark, with the grade-band limits as lines.
// The caller takes ownership.
QChart *makeScoreHistogram(const ItemAnalysis &analysis);

// Every question as a point, facility P across and discrimination D up, over the shaded zones of
// the hints. Point k of `points` is question k + 1. The caller takes ownership of the chart, which
// owns the series.
struct ItemMap
{
    QChart *chart = nullptr;
    QScatterSeries *points = nullptr;
};
ItemMap makeItemMap(const ItemAnalysis &analysis);

// The index of the question whose point lies nearest to `point` in the item map; -1 without any.
int nearestItem(const QList<ItemFigures> &items, const QPointF &point);

} // namespace exam
