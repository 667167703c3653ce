// What keeps stores of one file apart and cleans up after cut ones: the temporaries a cut store
// leaves, and the update lock every store and every removal holds.

#include "repository/file_ops.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_file.h"
#include "repository/profile_lock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The real calls, except that the flush of the temporaries whose names start with `held` waits
// until the test lets it go.
class HeldFlush : public exam::PosixFileOps
{
public:
    explicit HeldFlush(QString held) : m_held(std::move(held)) {}

    int open(const QString &path, int flags, mode_t mode) override
    {
        const int fd = PosixFileOps::open(path, flags, mode);
        if (QFileInfo(path).fileName().startsWith(m_held))
            m_heldFd = fd;
        return fd;
    }
    bool syncFile(int fd) override
    {
        if (fd == m_heldFd) {
            entered.release();
            released.acquire();
        }
        return PosixFileOps::syncFile(fd);
    }

    QSemaphore entered;
    QSemaphore released;

private:
    QString m_held;
    std::atomic<int> m_heldFd{-1};
};

} // namespace

class TestStoreCoordination : public QObject
{
    Q_OBJECT

private slots:
    void shouldKnowTemporariesOfProfiles_data();
    void shouldKnowTemporariesOfProfiles();
    void shouldHideAndRemoveLeftoverTemporariesWhenListing();
    void shouldKeepTheTemporaryOfAStoreUnderWay();
    void shouldRemoveLeftoverTemporariesWhenTheFileIsStored();
    void shouldWaitForTheStoreUnderWayBeforeRemoving();
    void shouldStoreANewFileWhileAnotherNewFileIsFlushed();
};

void TestStoreCoordination::shouldKnowTemporariesOfProfiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temporary");
    QTest::newRow("temporary of a result profile")
        << QStringLiteral("高一(1)班17.cho.aB3xYz") << true;
    QTest::newRow("any case of the extension") << QStringLiteral("SYS.CHO.Qw12Er") << true;
    QTest::newRow("the profile itself") << QStringLiteral("高一(1)班17.cho") << false;
    QTest::newRow("five characters") << QStringLiteral("a.cho.abcde") << false;
    QTest::newRow("seven characters") << QStringLiteral("a.cho.abcdefg") << false;
    QTest::newRow("not letters or digits") << QStringLiteral("a.cho.ab-def") << false;
    QTest::newRow("a question file's") << QStringLiteral("12345.RTF.abcdef") << true;
    QTest::newRow("a workbook's, outside the repository")
        << QStringLiteral("成绩.xlsx.abcdef") << false;
    QTest::newRow("nothing before it") << QStringLiteral(".abcdef") << false;
}

void TestStoreCoordination::shouldKnowTemporariesOfProfiles()
{
    QFETCH(QString, name);
    QFETCH(bool, temporary);
    QCOMPARE(exam::isLeftoverTemporary(name), temporary);
}

void TestStoreCoordination::shouldHideAndRemoveLeftoverTemporariesWhenListing()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.cho")), "[A]\r\nk=1\r\n");
    writeFile(dir.filePath(QStringLiteral("a.cho.Xy12Ab")), "[A]\r\nk=2\r\n");
    writeFile(dir.filePath(QStringLiteral("gone.cho.Xy12Ab")), "[A]\r\n");
    QCOMPARE(exam::listProfileFolder(dir.path()), QStringList{QStringLiteral("a.cho")});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.cho")});
}

void TestStoreCoordination::shouldKeepTheTemporaryOfAStoreUnderWay()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cho"));
    writeFile(file, "[A]\r\nk=1\r\n");
    writeFile(file + QStringLiteral(".Xy12Ab"), "[A]\r\nk=2\r\n");
    const exam::ProfileLock store = exam::ProfileLock::acquire(file, 0ms);
    QCOMPARE(store.state(), exam::ProfileLock::State::Held);
    QCOMPARE(exam::listProfileFolder(dir.path()), QStringList{QStringLiteral("a.cho")});
    QVERIFY(QFile::exists(file + QStringLiteral(".Xy12Ab")));
}

void TestStoreCoordination::shouldRemoveLeftoverTemporariesWhenTheFileIsStored()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cho"));
    writeFile(file, "[A]\r\nk=1\r\n");
    writeFile(file + QStringLiteral(".Xy12Ab"), "[A]\r\nk=2\r\n");
    writeFile(dir.filePath(QStringLiteral("b.cho.Xy12Ab")), "[A]\r\n");
    QVERIFY(
        writeProfileString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("3"), file));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("a.cho"), QStringLiteral("b.cho.Xy12Ab")}));
    QCOMPARE(readProfileString(QStringLiteral("A"), QStringLiteral("k"), QString(), file), u"3");
}

void TestStoreCoordination::shouldWaitForTheStoreUnderWayBeforeRemoving()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cho"));
    writeFile(file, "[A]\r\nk=1\r\n");
    std::optional<exam::ProfileLock> store = exam::ProfileLock::acquire(file, 0ms);
    QCOMPARE(store->state(), exam::ProfileLock::State::Held);
    // Another holder cannot have it meanwhile.
    QCOMPARE(exam::ProfileLock::acquire(file, 0ms).state(), exam::ProfileLock::State::Busy);
    std::thread release([&] {
        std::this_thread::sleep_for(100ms);
        store.reset();
    });
    QElapsedTimer waited;
    waited.start();
    QVERIFY(exam::removeProfileFile(file));
    QVERIFY(waited.elapsed() >= 90);
    release.join();
    QVERIFY(!QFile::exists(file));
    // Removing a file that is not there succeeds.
    QVERIFY(exam::removeProfileFile(file));
}

// Sixty students logging in at once each create their result profile in one folder: one slow
// flush must not hold the others back until their stores give up.
void TestStoreCoordination::shouldStoreANewFileWhileAnotherNewFileIsFlushed()
{
    QTemporaryDir dir;
    HeldFlush ops(QStringLiteral("一班1.cho."));
    const exam::ScopedFileOps scoped(ops);
    bool firstStored = false;
    std::thread first([&] {
        exam::ProfileBatch login(dir.filePath(QStringLiteral("一班1.cho")));
        login.set(QStringLiteral("一班"), QStringLiteral("1XM"), QStringLiteral("甲"));
        firstStored = login.store().ok();
    });
    const bool flushing = ops.entered.tryAcquire(1, 10000);
    exam::ProfileBatch login(dir.filePath(QStringLiteral("一班2.cho")));
    login.set(QStringLiteral("一班"), QStringLiteral("2XM"), QStringLiteral("乙"));
    const exam::Result stored = login.store();
    ops.released.release();
    first.join();
    QVERIFY(flushing);
    QVERIFY2(stored, qPrintable(stored.message()));
    QVERIFY(firstStored);
    QCOMPARE(exam::ProfileSnapshot::load(dir.filePath(QStringLiteral("一班1.cho")))
                 .value(QStringLiteral("一班"), QStringLiteral("1XM")),
             QStringLiteral("甲"));
    QCOMPARE(exam::ProfileSnapshot::load(dir.filePath(QStringLiteral("一班2.cho")))
                 .value(QStringLiteral("一班"), QStringLiteral("2XM")),
             QStringLiteral("乙"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

QTEST_GUILESS_MAIN(TestStoreCoordination)
#include "tst_store_coordination.moc"
