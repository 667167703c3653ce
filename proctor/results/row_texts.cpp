#include "proctor/results/row_texts.h"

namespace exam {

namespace {

QString underscores(int count)
{
    return QString(count, u'_');
}

const QString separator = QStringLiteral("_|_");

} // namespace

QString padField(const QString &text, int width, int fill)
{
    return QString(text + underscores(fill)).left(width);
}

QString studentNamesRow(const QString &number, const QString &name, const QString &formerName)
{
    return padField(number, 6, 19) + separator + name + underscores(2) + formerName +
           underscores(29);
}

QString studentScoreRow(const QString &score, const QString &rank, const QString &remainingTime)
{
    if (score.isEmpty())
        return underscores(6) + separator + underscores(4) + separator + remainingTime +
               underscores(20);
    return padField(score, 6, 20) + separator + padField(rank, 4, 14) + separator + remainingTime +
           underscores(20);
}

QString statisticsRow(const QString &text)
{
    return text + underscores(16);
}

QString questionRow(int question, int correctRate, qint64 standardAnswer)
{
    return padField(QString::number(question), 9, 14) + separator +
           padField(QString::number(correctRate), 9, 9) + separator +
           QString::number(standardAnswer) + underscores(13);
}

QString answerRow(qint64 answer)
{
    return QString::number(answer) + underscores(16);
}

} // namespace exam
