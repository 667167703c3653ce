#pragma once

// Everything one refresh of the results window computes, as plain data: the student table (by
// position, i.e. in examination-number order), the answers, the statistics and the question table.
// The window shows it; the workbook export writes it.

#include "proctor/results/question_analysis.h"
#include "proctor/results/score_statistics.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace exam {

// One row of the student table. Texts are trimmed.
struct StudentRecord
{
    QString number; // examination number, plain decimal
    QString name;
    QString score;         // the DF text as read; "" when the student has no score
    QString remainingTime; // TIME2; not empty once the student handed in
    QString rank;          // competition rank; "" beyond the class's student count
    QString formerName;
    bool hasScore = false; // DF present with a value that is not negative (present but empty is 0)
    double scoreValue = 0; // the score's numeric value; 0 without a score
    QList<qint64> answers; // DA1 … DAn, 0 where not stored

    friend bool operator==(const StudentRecord &, const StudentRecord &) = default;
};

// What one student's result profile holds, as the console reads it.
struct StudentReading
{
    QString name;
    QString formerName;
    QString scoreText = QStringLiteral("-1"); // DF read with the default "-1"
    QString remainingTime;
    QList<qint64> answers;
};

struct ResultsData
{
    QString paper;         // trimmed
    QString className;     // trimmed
    qint16 classCount = 0; // ClassCount: places that get a rank
    qint16 firstNumber = 0;
    qint16 lastNumber = 0;
    GradeThresholds thresholds;
    QList<qint64> standardAnswers; // per question 1 … question count
    QList<double> questionMarks;   // per question: its own mark, else the paper's default mark
    QStringList questionFiles;     // QUESTION per question: the RTF file in the paper folder

    QList<StudentRecord> students; // position i ↔ number firstNumber + i
    ScoreStatistics statistics;
    QList<QuestionRow> questions;

    int questionCount() const { return static_cast<int>(standardAnswers.size()); }
    ClassAnswers classAnswers() const;

    friend bool operator==(const ResultsData &, const ResultsData &) = default;
};

// The number of student positions of a class: last − first + 1, none when last < first.
int studentPositions(qint16 firstNumber, qint16 lastNumber);

// Fills the student table from the readings (one per position, in order), then the statistics,
// the question table and the ranks. `data` carries the class and paper fields already.
void computeResults(ResultsData &data, const QList<StudentReading> &readings);

} // namespace exam
