#pragma once

// The statistics panel of the results window and the students' ranks. Counters and the total are
// wide integers, so a large class or high marks cannot overflow them.

#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <array>

namespace exam {

// Lowest score of each band, from the paper profile (A excellent … D pass).
struct GradeThresholds
{
    qint16 excellent = 0; // A_grade
    qint16 good = 0;      // B_grade
    qint16 medium = 0;    // C_grade
    qint16 pass = 0;      // D_grade

    friend bool operator==(const GradeThresholds &, const GradeThresholds &) = default;
};

enum class GradeBand { Excellent = 0, Good, Medium, Pass, Fail };
inline constexpr int GradeBandCount = 5;

// The band of a score: the thresholds are tested in the order A, B, C, D, each bound inclusive,
// whatever their values; below D is a fail.
GradeBand gradeBand(double score, const GradeThresholds &thresholds);

// The figures of one refresh. add() takes the scores of the participants (score ≥ 0) one by one.
class ScoreStatistics
{
public:
    explicit ScoreStatistics(const GradeThresholds &thresholds = {});

    void add(double score);

    const GradeThresholds &thresholds() const { return m_thresholds; }
    qint64 participants() const { return m_participants; }
    qint64 total() const { return m_total; }
    qint64 highest() const { return m_highest; }
    // The lowest score of the participants; 0 when nobody took part.
    qint64 lowest() const { return m_participants > 0 ? m_lowest : m_highest; }
    qint64 bandCount(GradeBand band) const { return m_bands[static_cast<int>(band)]; }
    // Participants in the four upper bands.
    qint64 passed() const { return m_passed; }

    // total ÷ participants; meaningful only with participants.
    double average() const;
    // Shortest decimal text with up to 15 significant digits; empty without participants.
    QString averageText() const;
    // The same text cut to its first 6 characters, as the panel shows it.
    QString shortAverageText() const;
    // (count × 100) ÷ participants as shortest decimal text; empty without participants.
    QString percentText(qint64 count) const;

    // The panel's rows, each already followed by its underscores.
    QStringList panelRows() const;

    friend bool operator==(const ScoreStatistics &, const ScoreStatistics &) = default;

private:
    GradeThresholds m_thresholds;
    qint64 m_participants = 0;
    qint64 m_total = 0;
    qint64 m_highest = 0;
    qint64 m_lowest = 0;
    std::array<qint64, GradeBandCount> m_bands{};
    qint64 m_passed = 0;
};

// Competition ranks (90, 85, 85, 80 give 1, 2, 2, 4) of the positions 0 … keys.size() − 1, the
// keys sorted descending by the results sort routine. Only the first `rankedPlaces` places of the
// sorted list get a rank; the others, and all places when it is below 1, get an empty text.
QStringList competitionRanks(const QList<double> &keys, int rankedPlaces);

} // namespace exam
