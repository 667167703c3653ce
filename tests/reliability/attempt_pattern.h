#pragma once

// The values the reliability clients write, computed from (client, round) alone, so that a reader
// can tell for any value it sees which client and which round wrote it, and can replay any prefix
// of a client's writes byte for byte.

#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QList>
#include <QString>

namespace reliability {

inline const QString Paper = QStringLiteral("期末考试");
inline const QString ClassName = QStringLiteral("高二(3)班");
inline constexpr int Questions = 20;

// Client c (0-based) sits as examination number c + 1.
inline QString studentNumber(int client)
{
    return QString::number(client + 1);
}

inline QString studentName(int client)
{
    return QStringLiteral("学生%1").arg(client + 1);
}

inline QString formerName(int client)
{
    return QStringLiteral("旧名%1").arg(client + 1);
}

// The ticked options of a non-empty option set (1 … 127) in the stored digit form: 5 = {1, 3}
// gives 13.
inline double optionDigits(int optionSet)
{
    double digits = 0;
    for (int option = 1; option <= 7; ++option) {
        if (optionSet & (1 << (option - 1)))
            digits = digits * 10 + option;
    }
    return digits;
}

// Never 0 ("nothing ticked"), so a 0 read back means "not stored yet". Consecutive rounds give
// different answers to every question.
inline double roundAnswer(int client, int question, int round)
{
    return optionDigits((round * 7 + question * 3 + client) % 127 + 1);
}

inline QList<double> roundAnswers(int client, int round)
{
    QList<double> answers;
    for (int question = 1; question <= Questions; ++question)
        answers.append(roundAnswer(client, question, round));
    return answers;
}

// The presented order of a round: the questions rotated by the round.
inline QList<int> roundOrder(int round)
{
    QList<int> order;
    for (int position = 0; position < Questions; ++position)
        order.append((position + round) % Questions + 1);
    return order;
}

inline QString roundRemainingTime(int round)
{
    const int seconds = 3600 - round % 3600;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

inline exam::ProgressSave progressOf(int round)
{
    return {roundRemainingTime(round), round % Questions + 1, {}, roundOrder(round)};
}

inline exam::ProgressSave progressOf(int client, int round)
{
    exam::ProgressSave save = progressOf(round);
    save.answers = roundAnswers(client, round);
    return save;
}

inline QString handInTime(int client)
{
    return QStringLiteral("00:%1:%2")
        .arg(client % 60, 2, 10, QLatin1Char('0'))
        .arg((client * 7) % 60, 2, 10, QLatin1Char('0'));
}

inline qint64 finalScore(int client)
{
    return (client * 37) % 101;
}

inline exam::HandIn handInOf(int client, int round)
{
    return {handInTime(client), roundAnswers(client, round), finalScore(client)};
}

// The round whose answers `answers` are, or -1 when they are not all of one round of this client
// (a torn file, or a value that the client never wrote). Rounds repeat every 127.
inline int answersRound(int client, const QList<qint64> &answers)
{
    if (answers.size() != Questions)
        return -1;
    for (int round = 0; round < 127; ++round) {
        bool all = true;
        for (int question = 1; question <= Questions && all; ++question)
            all = double(answers.at(question - 1)) == roundAnswer(client, question, round);
        if (all)
            return round;
    }
    return -1;
}

// The class table the class-window worker stores in round r: sizes and ranges change every round.
inline QList<exam::ClassEntry> roundClasses(int round)
{
    QList<exam::ClassEntry> classes;
    for (int k = 0; k < 6; ++k) {
        const qint16 first = qint16(100 * k + round % 50);
        classes.append({QStringLiteral("高%1(%2)班").arg(k / 3 + 1).arg(k % 3 + 1),
                        qint16(30 + (round + k) % 20), first, qint16(first + 60)});
    }
    return classes;
}

} // namespace reliability
