#include "repository/system_profile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

namespace {

QByteArray gb(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString Example = u"[ClassName]\r\nClassNameCount=2\r\n1=高一(1)班\r\n2=高一(2)班\r\n"
                        u"[ClassCount]\r\n高一(1)班=45\r\n高一(2)班=48\r\n"
                        u"[FirstNumber]\r\n高一(1)班=1001\r\n高一(2)班=2001\r\n"
                        u"[LastNumber]\r\n高一(1)班=1045\r\n高一(2)班=2048\r\n"
                        u"[TestName]\r\nTestNameCount=1\r\n1=期中考试\r\n期中考试=1\r\n"
                        u"[LetViewTest]\r\n期中考试=0\r\n"
                        u"[期中考试]\r\n高一(1)班=1\r\n高一(2)班=0\r\n"_s;

} // namespace

class TestSystemProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldReadTheExample();
    void missingProfileShouldGiveEmptyLists();
    void shouldWriteClassTableInItsOrder();
    void deletedClassShouldLeaveItsEntries();
    void shouldWritePaperRosterInItsOrder();
    void reviewOnlyPaperShouldBeReviewableButNotOpen();
    void admissionDefaultsDependOnTheReader_data();
    void admissionDefaultsDependOnTheReader();
    void shouldWriteExamRooms();
    void shouldKeepAdministratorPassword();
    void failedStoreShouldSayWhy();

private:
    QString path() const { return m_dir->filePath(u"sys.cho"_s); }
    ProfileSnapshot snapshot() const { return ProfileSnapshot::load(path()); }
    void writeExample()
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gb(Example));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSystemProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSystemProfile::shouldReadTheExample()
{
    writeExample();
    const ProfileSnapshot profile = snapshot();
    const QList<ClassEntry> classes = readClassTable(profile);
    QCOMPARE(classes.size(), 2);
    QCOMPARE(classes.at(0), (ClassEntry{u"高一(1)班"_s, 45, 1001, 1045}));
    QCOMPARE(classes.at(1), (ClassEntry{u"高一(2)班"_s, 48, 2001, 2048}));
    QVERIFY(classes.at(0).holdsNumber(1045));
    QVERIFY(!classes.at(0).holdsNumber(1046));
    const QList<PaperEntry> papers = readPaperRoster(profile);
    QCOMPARE(papers, (QList<PaperEntry>{{u"期中考试"_s, u"1"_s, u"0"_s}}));
    QVERIFY(isAdmitted(profile, u"期中考试"_s, u"高一(1)班"_s, AdmissionReader::ClientAtStartup));
    QVERIFY(!isAdmitted(profile, u"期中考试"_s, u"高一(2)班"_s, AdmissionReader::ExamRoomWindow));
}

void TestSystemProfile::missingProfileShouldGiveEmptyLists()
{
    const ProfileSnapshot profile = snapshot();
    QVERIFY(readClassTable(profile).isEmpty());
    QVERIFY(readPaperRoster(profile).isEmpty());
    QCOMPARE(readAdminPassword(profile), QString());
}

void TestSystemProfile::shouldWriteClassTableInItsOrder()
{
    const QList<ClassEntry> classes = {{u" A班 "_s, 40, 1, 40}, {u"B班"_s, 30, 101, 130}};
    QVERIFY(writeClassTable(path(), classes));
    QCOMPARE(readBytes(path()),
             gb(u"[ClassName]\r\nClassNameCount=2\r\n1=A班\r\n2=B班\r\n"
                u"[ClassCount]\r\nA班=40\r\nB班=30\r\n[FirstNumber]\r\nA班=1\r\nB班=101\r\n"
                u"[LastNumber]\r\nA班=40\r\nB班=130\r\n"_s));
    QList<ClassEntry> expected = classes;
    expected[0].name = u"A班"_s;
    QCOMPARE(readClassTable(snapshot()), expected);
}

void TestSystemProfile::deletedClassShouldLeaveItsEntries()
{
    writeExample();
    QVERIFY(writeClassTable(path(), {{u"高一(2)班"_s, 48, 2001, 2048}}));
    const ProfileSnapshot profile = snapshot();
    QCOMPARE(profile.value(u"ClassName"_s, u"ClassNameCount"_s), u"1"_s);
    QCOMPARE(profile.value(u"ClassName"_s, u"2"_s), u"高一(2)班"_s);
    QCOMPARE(profile.value(u"FirstNumber"_s, u"高一(1)班"_s), u"1001"_s);
    QCOMPARE(readClassTable(profile).size(), 1);
}

void TestSystemProfile::shouldWritePaperRosterInItsOrder()
{
    QVERIFY(writePaperRoster(path(), {{u"P1"_s, u"1"_s, QString()}, {u"P2"_s, u"0"_s, u"1"_s}}));
    QCOMPARE(readBytes(path()),
             QByteArray("[TestName]\r\nTestNameCount=2\r\n1=P1\r\nP1=1\r\n2=P2\r\nP2=0\r\n"
                        "[LetViewTest]\r\nP1=\r\nP2=1\r\n"));
    const QList<PaperEntry> papers = readPaperRoster(snapshot());
    QCOMPARE(papers.at(0).reviewFlag, QString()); // empty stays empty: the key is present
    QVERIFY(!papers.at(0).isReviewable());
}

void TestSystemProfile::reviewOnlyPaperShouldBeReviewableButNotOpen()
{
    QVERIFY(writePaperRoster(path(), {{u"P"_s, u"0"_s, u"1"_s}}));
    const PaperEntry paper = readPaperRoster(snapshot()).at(0);
    QVERIFY(!paper.isOpen());
    QVERIFY(paper.isReviewable());
}

void TestSystemProfile::admissionDefaultsDependOnTheReader_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<bool>("admittedWhenMissing");

    QTest::newRow("exam-room window") << int(AdmissionReader::ExamRoomWindow) << true;
    QTest::newRow("client at start-up") << int(AdmissionReader::ClientAtStartup) << false;
    QTest::newRow("client after paper list") << int(AdmissionReader::ClientPaperListLeft) << true;
}

void TestSystemProfile::admissionDefaultsDependOnTheReader()
{
    QFETCH(int, reader);
    QFETCH(bool, admittedWhenMissing);
    writeExample();
    // A class added after the last exam-room confirmation has no entry.
    QCOMPARE(isAdmitted(snapshot(), u"期中考试"_s, u"高一(3)班"_s, AdmissionReader(reader)),
             admittedWhenMissing);
    QCOMPARE(isAdmitted(snapshot(), u"期中考试"_s, u"高一(2)班"_s, AdmissionReader(reader)), false);
}

void TestSystemProfile::shouldWriteExamRooms()
{
    QVERIFY(writeExamRooms(path(), {{u"P1"_s, true, {true, false}}, {u"P2"_s, false, {true}}},
                           {u"A"_s, u"B"_s}));
    QCOMPARE(
        readBytes(path()),
        QByteArray("[TestName]\r\nP1=1\r\nP2=0\r\n[P1]\r\nA=1\r\nB=0\r\n[P2]\r\nA=1\r\nB=0\r\n"));
}

void TestSystemProfile::shouldKeepAdministratorPassword()
{
    writeExample();
    QVERIFY(writeAdminPassword(path(), u" geheim "_s));
    QCOMPARE(readAdminPassword(snapshot()), u"geheim"_s);
    QCOMPARE(readClassTable(snapshot()).size(), 2);
}

void TestSystemProfile::failedStoreShouldSayWhy()
{
    QString error;
    const exam::Result failed =
        writeClassTable(m_dir->filePath(u"sys/sys.cho"_s), {{u"A"_s, 1, 1, 1}});
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(error.contains(u"文件夹不存在"_s));
}

QTEST_GUILESS_MAIN(TestSystemProfile)
#include "tst_system_profile.moc"
