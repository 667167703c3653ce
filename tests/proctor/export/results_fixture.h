#pragma once

#include "proctor/results/results_data.h"

#include <QDir>
#include <QFile>
#include <QString>

// Results of one refresh, built the way the results window builds them.
struct StudentSpec
{
    QString name;
    QString formerName;
    QString score; // "-1": no score
    QString remainingTime;
    QList<qint64> answers;
};

inline exam::ResultsData makeResults(const QList<StudentSpec> &students,
                                     const QList<qint64> &standardAnswers, int classCount)
{
    exam::ResultsData data;
    data.paper = QStringLiteral("期中考试");
    data.className = QStringLiteral("高一(1)班");
    data.classCount = qint16(classCount);
    data.firstNumber = 1001;
    data.lastNumber = qint16(1000 + students.size());
    data.thresholds = {90, 80, 70, 60};
    data.standardAnswers = standardAnswers;
    QList<exam::StudentReading> readings;
    for (const StudentSpec &s : students) {
        exam::StudentReading r;
        r.name = s.name;
        r.formerName = s.formerName;
        r.scoreText = s.score;
        r.remainingTime = s.remainingTime;
        r.answers = s.answers;
        readings.append(r);
    }
    exam::computeResults(data, readings);
    return data;
}

// Three students, two questions: two handed in, one is still in the exam.
inline exam::ResultsData threeStudentsTwoQuestions()
{
    return makeResults(
        {{QStringLiteral("张三"), {}, QStringLiteral("85"), QStringLiteral("00:12:40"), {13, 2}},
         {QStringLiteral("李四"), QStringLiteral("李小四"), QStringLiteral("-1"), {}, {1, 0}},
         {QStringLiteral("王五"), {}, QStringLiteral("90"), QStringLiteral("00:03:05"), {13, 24}}},
        {13, 2}, 3);
}

inline exam::ResultsData nobodyHandedIn()
{
    return makeResults({{QStringLiteral("张三"), {}, QStringLiteral("-1"), {}, {0, 0}},
                        {QStringLiteral("李四"), {}, QStringLiteral("-1"), {}, {3, 0}},
                        {{}, {}, QStringLiteral("-1"), {}, {}}},
                       {13, 2}, 3);
}

// A repository root with the default score template in its sys folder.
inline bool installScoreTemplate(const QString &root,
                                 const QString &sysFolder = QStringLiteral("sys"),
                                 const QString &fileName = QStringLiteral("score.xlt"))
{
    return QDir(root).mkpath(sysFolder) &&
           QFile::copy(QStringLiteral(EXAM_TEMPLATES_DIR "/score.xlt"),
                       QDir(root).filePath(sysFolder + u'/' + fileName));
}
