// The console's two changes of a student's result profile — "允许重考" (a read-modify-write that
// blanks the hand-in time) and "删除成绩" (removing the file) — made again and again while the
// student's client process saves and hands in on the same file. Each must come out as the
// teacher's change and the student's saves applied in some order: after every change the file
// holds the answers of one save no older than the last save the client had completed, never the
// answers of an older save written back by the grant; and once deleted, the login that the client
// made before never comes back (a save after the delete starts from no file).
//
// EXAM_RACE_SECONDS sets how long the console keeps changing the file (default 6); the operations
// are drawn from a seed, logged; EXAM_RACE_SEED repeats a run.

#include "attempt_pattern.h"
#include "reliability_repository.h"

#include "repository/profile_lock.h"
#include "repository/result_profile.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace reliability;

class ConsoleRacesTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldApplyRetestGrantsAndDeletesWholeWhileTheStudentSaves();
};

void ConsoleRacesTest::shouldApplyRetestGrantsAndDeletesWholeWhileTheStudentSaves()
{
    bool given = false;
    quint32 seed = quint32(qEnvironmentVariableIntValue("EXAM_RACE_SEED", &given));
    if (!given)
        seed = QRandomGenerator::securelySeeded().generate();
    qInfo("seed %u (EXAM_RACE_SEED=%u repeats the order of the console's changes)", seed, seed);
    QRandomGenerator random(seed);

    const int client = 11;
    const QString number = studentNumber(client);
    ReliabilityRepository repository;
    const QString path = repository.resultProfile(client);
    QVERIFY(exam::storeLogin(path, ClassName, number, studentName(client), formerName(client)));

    QProcess worker;
    worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    worker.start(QStringLiteral(RELIABILITY_WORKER),
                 {QStringLiteral("attempt"), path, QString::number(client)});
    QVERIFY(worker.waitForStarted(60000));
    QByteArray pending;
    int lastAnnounced = 0;
    const auto drain = [&] {
        pending += worker.readAllStandardOutput();
        const qsizetype end = pending.lastIndexOf('\n');
        if (end < 0)
            return;
        for (const QByteArray &line : pending.left(end).split('\n'))
            lastAnnounced = std::max(lastAnnounced, line.trimmed().toInt());
        pending.remove(0, end + 1);
    };
    while (lastAnnounced == 0 && worker.waitForReadyRead(60000))
        drain();
    QVERIFY2(lastAnnounced > 0, "the client never saved");

    const QDeadlineTimer end(std::chrono::seconds(environmentNumber("EXAM_RACE_SECONDS", 6)));
    int grants = 0;
    int deletes = 0;
    int answersSeen = 0;
    bool deleted = false;
    while (!end.hasExpired()) {
        const bool remove = random.bounded(3) == 0;
        const exam::Result changed = remove ? exam::removeProfileFile(path)
                                            : exam::storeRetestGrant(path, ClassName, number);
        QVERIFY2(changed, qPrintable(changed.message()));
        (remove ? deletes : grants) += 1;
        deleted = deleted || remove;

        // Every save announced by now was complete before this read.
        worker.waitForReadyRead(0);
        drain();
        const exam::ProfileSnapshot profile = exam::ProfileSnapshot::load(path);
        if (!profile.exists()) {
            QVERIFY2(remove, "the file vanished after a retest grant");
            continue;
        }
        const exam::StudentResult result =
            exam::readStudentResult(profile, ClassName, number, Questions);
        const bool anyAnswer = std::any_of(result.answers.begin(), result.answers.end(),
                                           [](qint64 a) { return a != 0; });
        if (deleted)
            QVERIFY2(result.name.isEmpty(), "a save undid the delete: the login before it is back");
        else
            QCOMPARE(result.name, studentName(client));
        if (!anyAnswer) {
            // Only a grant made since a delete, before the client's next save, stores no answers.
            QVERIFY2(deleted, "the answers are gone without a delete");
            continue;
        }
        ++answersSeen;
        const int round = answersRound(client, result.answers);
        QVERIFY2(round >= 0, "the file holds answers of no single save");
        // Answers repeat every 127 saves; the client is never far ahead of what was announced.
        const int ahead = ((round - lastAnnounced) % 127 + 127) % 127;
        QVERIFY2(
            ahead < 64,
            qPrintable(
                QStringLiteral(
                    "the file holds the answers of save %1 (modulo 127) after save %2 was complete")
                    .arg(round)
                    .arg(lastAnnounced)));
    }
    QVERIFY2(worker.state() == QProcess::Running, "the client stopped: a save of it failed");
    worker.kill();
    worker.waitForFinished();
    qInfo("%d retest grants and %d deletes while the client made %d saves; %d reads found answers",
          grants, deletes, lastAnnounced, answersSeen);
    QVERIFY(grants > 0 && deletes > 0 && answersSeen > 0);
}

QTEST_GUILESS_MAIN(ConsoleRacesTest)
#include "tst_console_races.moc"
