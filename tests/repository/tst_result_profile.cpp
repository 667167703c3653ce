#include "repository/result_profile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

namespace {

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime time) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }

private:
    QDateTime m_time;
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResultProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void keysShouldStartWithTheNumber();
    void attemptState_data();
    void attemptState();
    void attemptShouldGoThroughItsLife();
    void randomDrawShouldStoreAllAnswersAndPresentedOrder();
    void answersShouldBeStoredInShortestForm();
    void consoleShouldReadMissingScoreAsMinusOne_data();
    void consoleShouldReadMissingScoreAsMinusOne();
    void consoleShouldReadLongAnswersUncut();
    void sharedFileShouldKeepStudentsApart();
    void writesShouldFailWithoutResultsFolder();

private:
    QString path() const { return m_dir->filePath(u"1班12.cho"_s); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestResultProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestResultProfile::keysShouldStartWithTheNumber()
{
    const QString n = u" 17 "_s;
    QCOMPARE(ResultKeys::name(n), u"17"_s);
    QCOMPARE(ResultKeys::formerName(n), u"17LAST"_s);
    QCOMPARE(ResultKeys::startStamp(n), u"17TIME1"_s);
    QCOMPARE(ResultKeys::remainingTime(n), u"17TIME"_s);
    QCOMPARE(ResultKeys::position(n), u"17DangQian"_s);
    QCOMPARE(ResultKeys::answer(n, 3), u"17DA3"_s);
    QCOMPARE(ResultKeys::order(n, 10), u"17SX10"_s);
    QCOMPARE(ResultKeys::handInTime(n), u"17TIME2"_s);
    QCOMPARE(ResultKeys::score(n), u"17DF"_s);
}

void TestResultProfile::attemptState_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("expected");

    QTest::newRow("no file") << QByteArray() << int(AttemptState::NotStarted);
    QTest::newRow("login only") << QByteArray("[C]\r\n12=A\r\n") << int(AttemptState::NotStarted);
    QTest::newRow("started") << QByteArray("[C]\r\n12TIME1=2008,06,01  09:05:00\r\n")
                             << int(AttemptState::Interrupted);
    QTest::newRow("hand-in time blanked")
        << QByteArray("[C]\r\n12TIME1=x\r\n12TIME2=\r\n12DF=80\r\n")
        << int(AttemptState::Interrupted);
    QTest::newRow("hand-in time only blanks")
        << QByteArray("[C]\r\n12TIME1=x\r\n12TIME2=  \r\n") << int(AttemptState::Interrupted);
    QTest::newRow("finished") << QByteArray("[C]\r\n12TIME1=x\r\n12TIME2=00:10:00\r\n")
                              << int(AttemptState::Finished);
    QTest::newRow("other student's keys")
        << QByteArray("[C]\r\n1TIME2=00:10:00\r\n") << int(AttemptState::NotStarted);
    QTest::newRow("other class's section")
        << QByteArray("[D]\r\n12TIME1=x\r\n") << int(AttemptState::NotStarted);
}

void TestResultProfile::attemptState()
{
    QFETCH(QByteArray, file);
    QFETCH(int, expected);
    const ProfileSnapshot profile =
        file.isEmpty() ? ProfileSnapshot() : ProfileSnapshot::fromBytes(file);
    QCOMPARE(int(exam::attemptState(profile, u" C "_s, u"12"_s)), expected);
}

void TestResultProfile::attemptShouldGoThroughItsLife()
{
    const FixedClock clock(QDateTime(QDate(2008, 6, 1), QTime(9, 5, 0)));
    QVERIFY(storeLogin(path(), u"1班"_s, u"12"_s, u" 张三 "_s, QString()));
    QVERIFY(storeStartStamp(path(), u"1班"_s, u"12"_s, clock));
    QVERIFY(storeProgress(path(), u"1班"_s, u"12"_s, {u"0:29:00"_s, 2, {13, 0}, {2, 1}}));
    QCOMPARE(exam::attemptState(ProfileSnapshot::load(path()), u"1班"_s, u"12"_s),
             AttemptState::Interrupted);
    QVERIFY(storeHandIn(path(), u"1班"_s, u"12"_s, {u" 00:20:00 "_s, {13, 2}, 5}));
    QStringEncoder gb("GB18030");
    QCOMPARE(
        readBytes(path()),
        gb.encode(
            u"[1班]\r\n12=张三\r\n12LAST=\r\n12TIME1=2008,06,01  09:05:00\r\n12TIME=0:29:00\r\n"
            u"12DangQian=2\r\n12DA1=13\r\n12DA2=2\r\n12SX1=2\r\n12SX2=1\r\n12TIME2=00:20:00\r\n12DF=5\r\n"_s));
    const StudentResult result = readStudentResult(path(), u"1班"_s, u"12"_s, 2);
    QVERIFY(result.fileExists);
    QCOMPARE(result.state, AttemptState::Finished);
    QCOMPARE(result.name, u"张三"_s);
    QCOMPARE(result.score, u"5"_s);
    QCOMPARE(result.answers, (QList<qint64>{13, 2}));

    QVERIFY(storeRetestGrant(path(), u"1班"_s, u"12"_s));
    QCOMPARE(exam::attemptState(ProfileSnapshot::load(path()), u"1班"_s, u"12"_s),
             AttemptState::Interrupted);
}

void TestResultProfile::randomDrawShouldStoreAllAnswersAndPresentedOrder()
{
    ProgressSave progress{u"0:10:00"_s, 1, QList<double>(50, 0.0), {}};
    for (int i = 1; i <= 10; ++i)
        progress.order.append(i * 5);
    QVERIFY(storeProgress(path(), u"C"_s, u"7"_s, progress));
    const ProfileSnapshot profile = ProfileSnapshot::load(path());
    QCOMPARE(profile.value(u"C"_s, u"7DA50"_s), u"0"_s);
    QCOMPARE(profile.value(u"C"_s, u"7SX10"_s), u"50"_s);
    QVERIFY(!profile.contains(u"C"_s, u"7SX11"_s));
    QVERIFY(!profile.contains(u"C"_s, u"7DA51"_s));
}

void TestResultProfile::answersShouldBeStoredInShortestForm()
{
    QVERIFY(storeHandIn(path(), u"C"_s, u"7"_s, {u"00:00:00"_s, {13.0, 0.0, 1234567.0}, 0}));
    const ProfileSnapshot profile = ProfileSnapshot::load(path());
    QCOMPARE(profile.value(u"C"_s, u"7DA1"_s), u"13"_s);
    QCOMPARE(profile.value(u"C"_s, u"7DA2"_s), u"0"_s);
    QCOMPARE(profile.value(u"C"_s, u"7DA3"_s), u"1234567"_s);
    QCOMPARE(profile.value(u"C"_s, u"7TIME2"_s), u"00:00:00"_s);
}

void TestResultProfile::consoleShouldReadMissingScoreAsMinusOne_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("hasScore");
    QTest::addColumn<int>("score");

    QTest::newRow("no file") << QByteArray() << false << -1;
    QTest::newRow("no score key") << QByteArray("[C]\r\n7=A\r\n") << false << -1;
    QTest::newRow("empty score counts 0") << QByteArray("[C]\r\n7DF=\r\n") << true << 0;
    QTest::newRow("score") << QByteArray("[C]\r\n7DF= 85\r\n") << true << 85;
}

void TestResultProfile::consoleShouldReadMissingScoreAsMinusOne()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, hasScore);
    QFETCH(int, score);
    if (!file.isEmpty()) {
        QFile out(path());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const StudentResult result = readStudentResult(path(), u"C"_s, u"7"_s, 0);
    QCOMPARE(result.fileExists, !file.isEmpty());
    QCOMPARE(result.hasScore(), hasScore);
    QCOMPARE(int(result.scoreValue()), score);
}

void TestResultProfile::consoleShouldReadLongAnswersUncut()
{
    const ProfileSnapshot profile = ProfileSnapshot::fromBytes(
        "[C]\r\n7DA1=1234567\r\n7DA2=abc\r\n"
        "7DA4=123456789012345678901234567890\r\n7DA5=-123456789012345678901234567890\r\n");
    // A hand-edited answer beyond 64 bits is clamped, never converted with undefined behaviour.
    QCOMPARE(readStudentResult(profile, u"C"_s, u"7"_s, 5).answers,
             (QList<qint64>{1234567, 0, 0, std::numeric_limits<qint64>::max() - 1023,
                            std::numeric_limits<qint64>::min()}));
}

void TestResultProfile::sharedFileShouldKeepStudentsApart()
{
    // Class 1班 number 12 and class 1班1 number 2 share the file 1班12.cho.
    QVERIFY(storeLogin(path(), u"1班"_s, u"12"_s, u"甲"_s, QString()));
    QVERIFY(storeLogin(path(), u"1班1"_s, u"2"_s, u"乙"_s, QString()));
    QVERIFY(storeHandIn(path(), u"1班1"_s, u"2"_s, {u"00:01:00"_s, {}, 9}));
    const ProfileSnapshot profile = ProfileSnapshot::load(path());
    QCOMPARE(readStudentResult(profile, u"1班"_s, u"12"_s, 0).name, u"甲"_s);
    QCOMPARE(readStudentResult(profile, u"1班"_s, u"12"_s, 0).hasScore(), false);
    QCOMPARE(readStudentResult(profile, u"1班1"_s, u"2"_s, 0).scoreValue(), qint16(9));
}

void TestResultProfile::writesShouldFailWithoutResultsFolder()
{
    const QString missing = m_dir->filePath(u"CHENGJI/p/C7.cho"_s);
    QString error;
    const exam::Result failed = storeHandIn(missing, u"C"_s, u"7"_s, {u"00:00:00"_s, {1}, 1});
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(u"CHENGJI"_s)));
}

QTEST_GUILESS_MAIN(TestResultProfile)
#include "tst_result_profile.moc"
