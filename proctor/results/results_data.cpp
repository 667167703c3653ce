#include "proctor/results/results_data.h"

#include "proctor/results/sort_routine.h"

namespace exam {

ClassAnswers ResultsData::classAnswers() const
{
    ClassAnswers result;
    result.answers.reserve(students.size());
    result.hasScore.reserve(students.size());
    for (const StudentRecord &student : students) {
        result.answers.append(student.answers);
        result.hasScore.append(student.hasScore);
    }
    return result;
}

int studentPositions(qint16 firstNumber, qint16 lastNumber)
{
    return std::max(0, int(lastNumber) - int(firstNumber) + 1);
}

void computeResults(ResultsData &data, const QList<StudentReading> &readings)
{
    data.students.clear();
    data.students.reserve(readings.size());
    data.statistics = ScoreStatistics(data.thresholds);
    QList<double> rankKeys;
    rankKeys.reserve(readings.size());
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const StudentReading &reading = readings.at(i);
        StudentRecord student;
        student.number = QString::number(int(data.firstNumber) + i);
        student.name = reading.name;
        student.formerName = reading.formerName;
        student.remainingTime = reading.remainingTime;
        student.answers = reading.answers;
        student.answers.resize(data.questionCount());
        const double x = numericSortKey(reading.scoreText);
        student.hasScore = x >= 0;
        if (student.hasScore) {
            student.score = reading.scoreText;
            student.scoreValue = x;
            data.statistics.add(x);
        }
        rankKeys.append(numericSortKey(student.score));
        data.students.append(std::move(student));
    }
    data.questions = analyseQuestions(data.classAnswers(), data.standardAnswers);
    const QStringList ranks = competitionRanks(rankKeys, data.classCount);
    for (qsizetype i = 0; i < data.students.size(); ++i)
        data.students[i].rank = ranks.at(i);
}

} // namespace exam
