// Sixty student clients, each its own process, log in, save their progress again and again and
// hand in, all on one repository, while the console refreshes the class's results in a loop, as
// its timer does: re-reading only the files that changed. No
// refresh may see a torn file (answers of two saves, a hand-in without its score) or a value that
// no client wrote, and no student's row may go backwards from one refresh to the next: once a row
// shows the login it keeps it (an empty or cut-short file reads as "not logged in"), and its
// answers are of the same save or a later one. At the end every result profile holds exactly its
// client's last answers, order and score.
//
// The clients save for about 45 seconds in CI. EXAM_SOAK_SECONDS sets another length (the clients
// save for three quarters of it); EXAM_SOAK_INTERVAL_MS the pause between a client's saves.

#include "attempt_pattern.h"
#include "reliability_repository.h"

#include "proctor/results/results_cache.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace reliability;

namespace {

bool anyStored(const QList<qint64> &answers)
{
    return std::any_of(answers.begin(), answers.end(), [](qint64 a) { return a != 0; });
}

// What is wrong with one row of a refresh, or an empty text.
QString problemWith(const exam::StudentRecord &record, int client)
{
    if (record.number != studentNumber(client))
        return QStringLiteral("row of number %1 shows number %2")
            .arg(studentNumber(client), record.number);
    if (!record.name.isEmpty() && record.name != studentName(client))
        return QStringLiteral("foreign name ") + record.name;
    if (!record.formerName.isEmpty() && record.formerName != formerName(client))
        return QStringLiteral("foreign former name ") + record.formerName;
    if (anyStored(record.answers)) {
        if (answersRound(client, record.answers) < 0)
            return QStringLiteral("answers of no single save");
        if (record.name.isEmpty())
            return QStringLiteral("answers without the login before them");
    }
    if (!record.remainingTime.isEmpty() && record.remainingTime != handInTime(client))
        return QStringLiteral("foreign hand-in time ") + record.remainingTime;
    if (record.remainingTime.isEmpty() != !record.hasScore)
        return QStringLiteral("hand-in time and score not stored together");
    if (record.hasScore && record.score != QString::number(finalScore(client)))
        return QStringLiteral("foreign score ") + record.score;
    return QString();
}

} // namespace

class ConcurrentWritersTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowOnlyWholeSavesWhileSixtyClientsWrite();
};

void ConcurrentWritersTest::shouldShowOnlyWholeSavesWhileSixtyClientsWrite()
{
    const int soakSeconds = environmentNumber("EXAM_SOAK_SECONDS", 60);
    const int clientMs = soakSeconds * 750;
    const int intervalMs = environmentNumber("EXAM_SOAK_INTERVAL_MS", 1000);
    ReliabilityRepository repository;
    const exam::ResultsRequest request{repository.root(), Paper, ClassName};

    std::vector<std::unique_ptr<QProcess>> clients;
    for (int client = 0; client < Students; ++client) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QStringLiteral(RELIABILITY_WORKER));
        process->setArguments({QStringLiteral("soak"), repository.resultProfile(client),
                               QString::number(client), QString::number(clientMs),
                               QString::number(intervalMs)});
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start();
        clients.push_back(std::move(process));
    }

    // A hung client or reader fails the test instead of hanging it.
    const QDeadlineTimer giveUp(std::chrono::seconds(soakSeconds + 240));
    int refreshes = 0;
    int rowsMidExam = 0;
    // What each row showed at the last refresh: the login, and the round of its answers.
    std::vector<bool> loginSeen(Students, false);
    std::vector<int> roundSeen(Students, -1);
    // Answers repeat every 127 saves; a longer run can only check the login.
    const bool roundsTellApart = clientMs / intervalMs < 120;
    qint64 filesRead = 0;
    exam::ResultsCache cache;
    auto running = [&] {
        return std::any_of(clients.begin(), clients.end(),
                           [](const auto &p) { return p->state() != QProcess::NotRunning; });
    };
    do {
        const exam::ResultsData data = cache.load(request, exam::ResultsCache::Pass::Changed);
        filesRead += cache.filesReadLastPass();
        QCOMPARE(data.students.size(), Students);
        QCOMPARE(data.questionCount(), Questions);
        for (int client = 0; client < Students; ++client) {
            const exam::StudentRecord &record = data.students.at(client);
            const QString problem = problemWith(record, client);
            if (!problem.isEmpty())
                QFAIL(qPrintable(QStringLiteral("refresh %1, client %2: %3")
                                     .arg(refreshes)
                                     .arg(client)
                                     .arg(problem)));
            // A row that loses its login, with or without its answers, is a torn or lost read.
            if (loginSeen[client] && record.name.isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("refresh %1, client %2: the login shown before is gone")
                        .arg(refreshes)
                        .arg(client)));
            loginSeen[client] = !record.name.isEmpty();
            const int round = anyStored(record.answers) ? answersRound(client, record.answers) : -1;
            if (roundsTellApart && round < roundSeen[client])
                QFAIL(qPrintable(
                    QStringLiteral("refresh %1, client %2: answers of save %3 after save %4")
                        .arg(refreshes)
                        .arg(client)
                        .arg(round)
                        .arg(roundSeen[client])));
            roundSeen[client] = round;
            rowsMidExam += anyStored(record.answers) && !record.hasScore;
        }
        ++refreshes;
        QCoreApplication::processEvents();
        if (giveUp.hasExpired()) {
            for (auto &p : clients)
                p->kill();
            QFAIL("the clients did not finish in time");
        }
    } while (running());
    qInfo("%d refreshes, %d rows seen in the middle of an exam, %lld result files read "
          "(%d in every pass without the cache)",
          refreshes, rowsMidExam, filesRead, Students);
    // The reader really ran beside the writers.
    QVERIFY(refreshes > 1);
    QVERIFY(rowsMidExam > 0);

    for (int client = 0; client < Students; ++client) {
        QProcess &process = *clients.at(std::size_t(client));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        bool ok = false;
        const int lastRound =
            QString::fromLatin1(process.readAllStandardOutput()).trimmed().toInt(&ok);
        QVERIFY(ok && lastRound > 0);

        const exam::ProfileSnapshot profile =
            exam::ProfileSnapshot::load(repository.resultProfile(client));
        const QString number = studentNumber(client);
        const exam::StudentResult result =
            exam::readStudentResult(profile, ClassName, number, Questions);
        QCOMPARE(result.state, exam::AttemptState::Finished);
        QCOMPARE(result.name, studentName(client));
        QCOMPARE(result.formerName, formerName(client));
        QCOMPARE(result.handInTime, handInTime(client));
        QCOMPARE(result.score, QString::number(finalScore(client)));
        const QList<double> handedIn = roundAnswers(client, lastRound + 1);
        for (int question = 1; question <= Questions; ++question)
            QCOMPARE(double(result.answers.at(question - 1)), handedIn.at(question - 1));
        const exam::ProgressSave lastSave = progressOf(lastRound);
        QCOMPARE(profile.value(ClassName, exam::ResultKeys::remainingTime(number)),
                 lastSave.remainingTime);
        QCOMPARE(profile.value(ClassName, exam::ResultKeys::position(number)),
                 QString::number(lastSave.currentPosition));
        for (int position = 1; position <= Questions; ++position)
            QCOMPARE(profile.value(ClassName, exam::ResultKeys::order(number, position)),
                     QString::number(lastSave.order.at(position - 1)));
    }

    // And the console's last look shows every student handed in with his score, the same through
    // the cache as read afresh.
    const exam::ResultsData last = exam::loadResults(request);
    QVERIFY(cache.load(request, exam::ResultsCache::Pass::Changed) == last);
    for (int client = 0; client < Students; ++client) {
        QVERIFY(last.students.at(client).hasScore);
        QCOMPARE(last.students.at(client).score, QString::number(finalScore(client)));
    }
}

int main(int argc, char **argv)
{
    // The run lasts as long as asked, plus the final checks: Qt Test's own limit of five minutes
    // per test function would cut a long run short.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
        const int seconds = environmentNumber("EXAM_SOAK_SECONDS", 60);
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((seconds + 300) * 1000));
    }
    QCoreApplication app(argc, argv);
    ConcurrentWritersTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_concurrent_writers.moc"
