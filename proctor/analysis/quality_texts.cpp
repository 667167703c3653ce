#include "proctor/analysis/quality_texts.h"

#include <QLocale>

namespace exam {

QString figureText(double value, int decimals)
{
    QString text = QLocale::c().toString(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString shareText(double share)
{
    return figureText(share * 100, 0) + u'%';
}

QStringList paperFigureNames()
{
    return {QStringLiteral("人数"),    QStringLiteral("平均分"),    QStringLiteral("标准差"),
            QStringLiteral("中位数"),  QStringLiteral("最低分"),    QStringLiteral("最高分"),
            QStringLiteral("信度(α)"), QStringLiteral("测量标准误")};
}

QStringList paperFigureValues(const PaperFigures &paper)
{
    const auto optional = [](const std::optional<double> &value, int decimals) {
        return value ? figureText(*value, decimals) : QString();
    };
    return {QString::number(paper.students),
            figureText(paper.mean),
            figureText(paper.standardDeviation),
            figureText(paper.median),
            figureText(paper.lowest),
            figureText(paper.highest),
            optional(paper.alpha, 3),
            optional(paper.measurementError, 2)};
}

QStringList itemHeaders()
{
    return {QStringLiteral("题号"),     QStringLiteral("分值"),  QStringLiteral("标准答案"),
            QStringLiteral("作答人数"), QStringLiteral("难度P"), QStringLiteral("区分度D"),
            QStringLiteral("题总相关"), QStringLiteral("提示")};
}

QStringList itemCells(const ItemFigures &item)
{
    return {QString::number(item.number),
            figureText(item.mark),
            answerLetters(item.standardAnswer),
            QString::number(item.answered),
            figureText(item.facility),
            figureText(item.discrimination),
            item.itemRest ? figureText(*item.itemRest) : QString(),
            hintText(item.hints)};
}

QStringList optionHeaders()
{
    QStringList headers;
    for (int option = 0; option < AnalysedOptions; ++option)
        headers.append(QString(QChar(u'A' + option)));
    headers.append(QStringLiteral("未作答"));
    return headers;
}

QStringList optionCells(const OptionShares &shares)
{
    QStringList cells;
    for (const double share : shares.options)
        cells.append(shareText(share));
    cells.append(shareText(shares.blank));
    return cells;
}

} // namespace exam
