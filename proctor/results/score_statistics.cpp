#include "proctor/results/score_statistics.h"

#include "proctor/results/row_texts.h"
#include "proctor/results/sort_routine.h"
#include "repository/profile_values.h"

#include <algorithm>

namespace exam {

GradeBand gradeBand(double score, const GradeThresholds &thresholds)
{
    if (score >= thresholds.excellent)
        return GradeBand::Excellent;
    if (score >= thresholds.good)
        return GradeBand::Good;
    if (score >= thresholds.medium)
        return GradeBand::Medium;
    if (score >= thresholds.pass)
        return GradeBand::Pass;
    return GradeBand::Fail;
}

ScoreStatistics::ScoreStatistics(const GradeThresholds &thresholds) : m_thresholds(thresholds) {}

void ScoreStatistics::add(double score)
{
    m_total = roundHalfEven(static_cast<double>(m_total) + score);
    const GradeBand band = gradeBand(score, m_thresholds);
    ++m_bands[static_cast<int>(band)];
    if (band != GradeBand::Fail)
        ++m_passed;
    if (score > static_cast<double>(m_highest))
        m_highest = roundHalfEven(score);
    // The lowest score is that of a participant: the first one sets it, whatever his score.
    if (m_participants == 0 || score < static_cast<double>(m_lowest))
        m_lowest = roundHalfEven(score);
    ++m_participants;
}

double ScoreStatistics::average() const
{
    return m_participants > 0 ? static_cast<double>(m_total) / static_cast<double>(m_participants)
                              : 0.0;
}

QString ScoreStatistics::averageText() const
{
    return m_participants > 0 ? shortestNumberText(average()) : QString();
}

QString ScoreStatistics::shortAverageText() const
{
    return averageText().left(6);
}

QString ScoreStatistics::percentText(qint64 count) const
{
    if (m_participants < 1)
        return {};
    return shortestNumberText(static_cast<double>(count) * 100.0 /
                              static_cast<double>(m_participants));
}

QStringList ScoreStatistics::panelRows() const
{
    const auto number = [](qint64 value) { return QString::number(value); };
    QStringList rows{
        QStringLiteral("平均分"),      shortAverageText(),
        QStringLiteral("最高分"),      number(highest()),
        QStringLiteral("最低分"),      number(lowest()),
        QStringLiteral("参考人数"),    number(participants()),
        QStringLiteral("总得分"),      number(total()),
        QStringLiteral("优秀人数"),    number(bandCount(GradeBand::Excellent)),
        QStringLiteral("良好人数"),    number(bandCount(GradeBand::Good)),
        QStringLiteral("中等人数"),    number(bandCount(GradeBand::Medium)),
        QStringLiteral("及格人数"),    number(bandCount(GradeBand::Pass)),
        QStringLiteral("不及格人数"),  number(bandCount(GradeBand::Fail)),
        QStringLiteral("及格总人数:"), number(passed()),
    };
    if (m_participants >= 1) {
        const QString percentLabels[GradeBandCount] = {
            QStringLiteral("优秀%"), QStringLiteral("良好%"), QStringLiteral("中等%"),
            QStringLiteral("及格%"), QStringLiteral("不及格%")};
        for (int band = 0; band < GradeBandCount; ++band) {
            rows << percentLabels[band] << percentText(m_bands[band]);
        }
    }
    for (QString &row : rows)
        row = statisticsRow(row);
    return rows;
}

QStringList competitionRanks(const QList<double> &keys, int rankedPlaces)
{
    QStringList ranks(keys.size());
    const QList<int> sorted = sortPermutation(keys, SortDirection::Descending);
    const qsizetype places = std::min<qsizetype>(std::max(rankedPlaces, 0), sorted.size());
    qsizetype rank = 0;
    for (qsizetype place = 0; place < places; ++place) {
        const int position = sorted[place];
        if (place == 0 || keys[position] != keys[sorted[place - 1]])
            rank = place + 1;
        ranks[position] = QString::number(rank);
    }
    return ranks;
}

} // namespace exam
