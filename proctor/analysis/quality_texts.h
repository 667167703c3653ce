#pragma once

// The texts the quality window and the PDF report show for an item analysis: figure names and
// values, the question table's headings and cells, option shares.

#include "proctor/results/item_analysis.h"

#include <QString>
#include <QStringList>

namespace exam {

inline constexpr auto TooFewStudentsText = u"人数不足";

// A number with at most `decimals` decimals, trailing zeros dropped: 23.75, 20, -0.5.
QString figureText(double value, int decimals = 2);
// A share between 0 and 1 as a whole percentage: 0.625 gives "63%".
QString shareText(double share);

// 人数, 平均分, 标准差, 中位数, 最低分, 最高分, 信度(α), 测量标准误.
QStringList paperFigureNames();
// The values in the same order; α and its standard error empty where they are not defined.
QStringList paperFigureValues(const PaperFigures &paper);

// 题号, 分值, 标准答案, 作答人数, 难度P, 区分度D, 题总相关, 提示.
QStringList itemHeaders();
QStringList itemCells(const ItemFigures &item);

// "A" … "G", then "未作答".
QStringList optionHeaders();
QStringList optionCells(const OptionShares &shares);

} // namespace exam
