#include "proctor/results/results_cache.h"

#include "repository/profile_file.h"
#include "results_repository.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace exam;

namespace {

const QString paper = QStringLiteral("期中考试");
const QString className = QStringLiteral("高一(1)班");
constexpr int FirstNumber = 1001;
constexpr int Students = 12;
constexpr qint64 Second = 1'000'000'000;

// Sets a file's modification time to `ns` since the epoch, as a write at that moment would.
void setModified(const QString &path, qint64 ns)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ns / Second), long(ns % Second)}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A result profile as a client writes it, GB18030, with random answers and score.
QByteArray randomResult(QRandomGenerator &random, int number, int questions)
{
    const QString n = QString::number(number);
    QString text = u'[' + className + QStringLiteral("]\r\n");
    text +=
        n + QStringLiteral("=学生") + QString::number(random.bounded(100)) + QStringLiteral("\r\n");
    for (int q = 1; q <= questions; ++q)
        text += QStringLiteral("%1DA%2=%3\r\n").arg(n).arg(q).arg(random.bounded(1, 8));
    if (random.bounded(3) > 0)
        text += QStringLiteral("%1TIME2=00:0%2:00\r\n%1DF=%3\r\n")
                    .arg(n)
                    .arg(random.bounded(10))
                    .arg(random.bounded(10, 100));
    return QStringEncoder("GB18030").encode(text);
}

// The first difference between two passes, for the failure message; empty when they agree.
QString difference(const ResultsData &incremental, const ResultsData &full)
{
    if (incremental == full)
        return {};
    if (incremental.students.size() != full.students.size())
        return QStringLiteral("%1 students instead of %2")
            .arg(incremental.students.size())
            .arg(full.students.size());
    for (qsizetype i = 0; i < full.students.size(); ++i) {
        const StudentRecord &a = incremental.students.at(i);
        const StudentRecord &b = full.students.at(i);
        const auto shown = [](const StudentRecord &r) {
            QStringList answers;
            for (qint64 answer : r.answers)
                answers << QString::number(answer);
            return QStringLiteral("name %1 score %2 rank %3 answers %4")
                .arg(r.name, r.score, r.rank, answers.join(u' '));
        };
        if (!(a == b))
            return QStringLiteral("number %1: %2 instead of %3").arg(b.number, shown(a), shown(b));
    }
    return QStringLiteral("class, paper, statistics or question table differ");
}

// Stamps as a network share gives them: modification times in whole two-second ticks, no change
// time. Size and file identity stay.
FileStamp coarseStamp(const QString &path)
{
    FileStamp stamp = readFileStamp(path);
    stamp.modifiedNs -= stamp.modifiedNs % (2 * Second);
    stamp.changedNs = 0;
    return stamp;
}

class CacheSandbox
{
public:
    CacheSandbox()
    {
        m_repository.addClass(className, Students, FirstNumber, FirstNumber + Students - 1);
        m_repository.addPaper(paper,
                              {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    }
    ResultsRequest request() const { return {m_repository.root(), paper, className}; }
    QString resultFile(int number) const
    {
        return m_repository.resultProfile(paper, className, number);
    }
    ResultsRepository &repository() { return m_repository; }

private:
    ResultsRepository m_repository;
};

} // namespace

class TestResultsCache : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowWhatAFullPassShowsAfterRandomChanges_data()
    {
        QTest::addColumn<bool>("coarseTimes");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("nanosecond times, seed %u", seed) << false << seed;
            QTest::addRow("two-second times, seed %u", seed) << true << seed;
        }
    }

    // Writes (in place and by rename), same-size rewrites within one time tick, deletions, renames
    // over other students' files and to other letter cases, paper changes and the clock moving on
    // by less than a tick: after every step the cache's pass equals a full pass.
    void shouldShowWhatAFullPassShowsAfterRandomChanges()
    {
        QFETCH(bool, coarseTimes);
        QFETCH(quint32, seed);
        CacheSandbox sandbox;
        QRandomGenerator random(seed);
        qint64 now = 1'800'000'000 * Second;
        ResultsCache cache(coarseTimes ? ResultsCache::StampReader(coarseStamp)
                                       : ResultsCache::StampReader(readFileStamp),
                           [&now]() { return now; });
        int questions = 3;
        const QString paperProfile = sandbox.repository().paths().paperProfile(paper);
        const auto someNumber = [&]() { return FirstNumber + int(random.bounded(Students)); };

        for (int step = 0; step < 150; ++step) {
            const int number = someNumber();
            const QString path = sandbox.resultFile(number);
            switch (random.bounded(9)) {
            case 0: // a client's store: a new file renamed over the old one
                writeBytes(path + QStringLiteral(".tmp"), randomResult(random, number, questions));
                QFile::remove(path);
                QVERIFY(QFile::rename(path + QStringLiteral(".tmp"), path));
                setModified(path, now);
                break;
            case 1: // written in place
                writeBytes(path, randomResult(random, number, questions));
                setModified(path, now);
                break;
            case 2: { // the same size, other digits, in place
                QByteArray bytes = readBytes(path);
                for (char &c : bytes) {
                    if (c >= '1' && c <= '7')
                        c = char('1' + random.bounded(7));
                }
                writeBytes(path, bytes);
                setModified(path, now);
                break;
            }
            case 3: QFile::remove(path); break;
            case 4: { // moved over another student's file, keeping its times
                const QString other = sandbox.resultFile(someNumber());
                if (QFile::exists(path) && other != path) {
                    QFile::remove(other);
                    QVERIFY(QFile::rename(path, other));
                }
                break;
            }
            case 5: // the same file under the other letter case
                if (QFile::exists(path)) {
                    const QString suffix = path.endsWith(QStringLiteral(".cho"))
                                               ? QStringLiteral("CHO")
                                               : QStringLiteral("cho");
                    QVERIFY(QFile::rename(path, path.left(path.size() - 3) + suffix));
                }
                break;
            case 6: { // the teacher edits the paper: another question count, same-size rewrites too
                questions = 3 + int(random.bounded(2));
                QStringList answers;
                for (int q = 0; q < questions; ++q)
                    answers << QString::number(random.bounded(1, 8));
                QFile::remove(paperProfile);
                sandbox.repository().addPaper(paper, answers);
                setModified(paperProfile, now);
                setModified(sandbox.repository().paths().systemProfile(), now);
                break;
            }
            case 7: // within the same tick or the next
                now += qint64(random.bounded(1500)) * 1'000'000;
                break;
            default: // the timer's next tick: nothing is racily clean any more
                now += 30 * Second;
            }
            const ResultsData incremental =
                cache.load(sandbox.request(), ResultsCache::Pass::Changed);
            const ResultsData full = loadResults(sandbox.request());
            const QString problem = difference(incremental, full);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("step %1: %2").arg(step).arg(problem)));
        }
    }

    void shouldReadOnlyTheFilesThatChanged()
    {
        CacheSandbox sandbox;
        for (int number = FirstNumber; number < FirstNumber + Students; ++number)
            sandbox.repository().handIn(paper, className, number, QStringLiteral("张三"),
                                        QStringLiteral("80"), {"1", "2", "3"});
        // Long after the writes: nothing is racily clean.
        ResultsCache cache(readFileStamp, []() {
            return QDateTime::currentMSecsSinceEpoch() * 1'000'000 + 60 * Second;
        });
        const ResultsData first = cache.load(sandbox.request(), ResultsCache::Pass::Full);
        QCOMPARE(cache.filesReadLastPass(), Students);

        const quint64 opensBefore = profileFileOpenCount();
        QCOMPARE(cache.load(sandbox.request(), ResultsCache::Pass::Changed), first);
        QCOMPARE(profileFileOpenCount() - opensBefore, quint64(0));

        QVERIFY(QFile::remove(sandbox.resultFile(1004)));
        const ResultsData deleted = cache.load(sandbox.request(), ResultsCache::Pass::Changed);
        QCOMPARE(cache.filesReadLastPass(), 0);
        QCOMPARE(deleted.students.at(3).name, QString());
        QCOMPARE(deleted.statistics.participants(), Students - 1);

        for (int number : {1002, 1007, 1011})
            sandbox.repository().handIn(paper, className, number, QStringLiteral("李四"),
                                        QStringLiteral("95"), {"1", "2", "3"});
        const ResultsData changed = cache.load(sandbox.request(), ResultsCache::Pass::Changed);
        QCOMPARE(cache.filesReadLastPass(), 3);
        QCOMPARE(changed, loadResults(sandbox.request()));
        QCOMPARE(changed.students.at(1).score, QStringLiteral("95"));

        QCOMPARE(cache.load(sandbox.request(), ResultsCache::Pass::Full), changed);
        QCOMPARE(cache.filesReadLastPass(), Students - 1);
    }

    // A file that a save is replacing can be missing to a reader for a moment after its stamp was
    // taken: the pass reads it again instead of showing the student as not started.
    void shouldReadAgainAFileMissingForAMoment()
    {
        CacheSandbox sandbox;
        sandbox.repository().handIn(paper, className, 1003, QStringLiteral("王五"),
                                    QStringLiteral("70"), {"1", "2", "3"});
        const QString file = sandbox.resultFile(1003);
        const QString away = file + QStringLiteral(".away");
        int stamps = 0;
        // The first stamp sees the file, which then vanishes until the next stamp is taken.
        ResultsCache cache([&](const QString &path) {
            if (path != file)
                return readFileStamp(path);
            if (++stamps == 2)
                QFile::rename(away, file);
            const FileStamp stamp = readFileStamp(path);
            if (stamps == 1)
                QFile::rename(file, away);
            return stamp;
        });
        const ResultsData data = cache.load(sandbox.request(), ResultsCache::Pass::Full);
        QCOMPARE(data.students.at(2).name, QStringLiteral("王五"));
        QCOMPARE(data.students.at(2).score, QStringLiteral("70"));
        QCOMPARE(stamps, 2);
    }

    // A rewrite that keeps size, identity and (coarse) time is seen only through the racy rule, an
    // invalidation or the teacher's full pass.
    void shouldReadAgainWhatItCannotTellFromTheStamp_data()
    {
        QTest::addColumn<qint64>("writtenBeforePass");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("scoreShown");
        QTest::newRow("racily clean: written within the window")
            << qint64(Second) << QStringLiteral("timer") << QStringLiteral("91");
        QTest::newRow("written at the pass's start")
            << qint64(0) << QStringLiteral("timer") << QStringLiteral("91");
        QTest::newRow("invalidated by the console")
            << 10 * Second << QStringLiteral("invalidate") << QStringLiteral("91");
        QTest::newRow("teacher's refresh")
            << 10 * Second << QStringLiteral("full") << QStringLiteral("91");
        QTest::newRow("clean: an unchanged stamp is trusted")
            << 10 * Second << QStringLiteral("timer") << QStringLiteral("19");
    }

    void shouldReadAgainWhatItCannotTellFromTheStamp()
    {
        QFETCH(qint64, writtenBeforePass);
        QFETCH(QString, how);
        QFETCH(QString, scoreShown);
        CacheSandbox sandbox;
        const QString path = sandbox.resultFile(1001);
        sandbox.repository().handIn(paper, className, 1001, QStringLiteral("张三"),
                                    QStringLiteral("19"));
        const qint64 written = 1'800'000'000 * Second;
        setModified(path, written);
        ResultsCache cache(coarseStamp, [&]() { return written + writtenBeforePass; });
        QCOMPARE(cache.load(sandbox.request(), ResultsCache::Pass::Full).students.at(0).score,
                 QStringLiteral("19"));

        QByteArray bytes = readBytes(path);
        bytes.replace("DF=19", "DF=91");
        writeBytes(path, bytes);
        setModified(path, written);
        if (how == u"invalidate")
            cache.invalidate(path);
        const auto pass = how == u"full" ? ResultsCache::Pass::Full : ResultsCache::Pass::Changed;
        QCOMPARE(cache.load(sandbox.request(), pass).students.at(0).score, scoreShown);
    }
};

QTEST_GUILESS_MAIN(TestResultsCache)
#include "tst_results_cache.moc"
