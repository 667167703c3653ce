#pragma once

// One student at one client PC, without a display: the client's own logic (login model, exam
// session) driven as the login and exam windows would drive it. The demo repository is written
// this way, and the end-to-end tests use it for their many clients.

#include "repository/clock.h"
#include "repository/random_source.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace exam::demo {

struct ClientRun
{
    QString paper;
    QString className;
    QString number;
    QString name;
    // The answer (digit form) the student gives to question k: 0 clears it, a negative number
    // leaves it as it is.
    std::function<double(int question)> answerFor;
    // What the student types when the client asks for the retest or re-login password.
    QString password;
    // Positions answered before the PC fails (no hand-in); -1 answers all and hands in.
    int interruptAfter = -1;
    // Where the client runs: in place, or from a network share through its local copy folder.
    bool runsLocally = true;
    QString localCacheFolder;
};

struct ClientOutcome
{
    bool loggedIn = false;
    bool resumed = false;    // the login continued an earlier attempt
    bool handedIn = false;   // the result was stored and read back
    QStringList dialogTexts; // every message and question the client showed, in order
    QString handInMessage;
    QList<int> order;      // the questions in the order they were presented
    QList<double> answers; // per question 1 … n, as handed in
};

// Starts the client logic on `repositoryRoot`, logs in, answers every presented question and hands
// in (or stops at the interruption). `random` and `clock` are the client's sources.
ClientOutcome sitPaper(const QString &repositoryRoot, const ClientRun &run, RandomSource &random,
                       const Clock &clock);

} // namespace exam::demo
