#include "authoring_fixture.h"

#include "proctor/authoring/paper_table.h"

#include <QTest>

using namespace authoring_test;
using exam::PaperColumn;

class TestPaperTable : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadEveryMissingSettingAsZero_data();
    void shouldReadEveryMissingSettingAsZero();
    void shouldReadRosterFlagsAndProfileSettings();
    void shouldNotReadThroughAStoredNameThatLeavesTheRepository();
    void shouldGiveANewPaperItsDefaults_data();
    void shouldGiveANewPaperItsDefaults();
};

void TestPaperTable::shouldReadEveryMissingSettingAsZero_data()
{
    QTest::addColumn<int>("column");
    for (int c = 3; c <= 19; ++c)
        QTest::addRow("col %d", c) << c;
}

void TestPaperTable::shouldReadEveryMissingSettingAsZero()
{
    QFETCH(int, column);
    Repository repo;
    repo.makePaper(QStringLiteral("空卷"), {});
    repo.setRoster({entry(QStringLiteral("空卷"))});
    const exam::PaperTable table = exam::PaperTable::load(repo.paths());
    QCOMPARE(table.count(), 1);
    QCOMPARE(table.row(0).at(static_cast<PaperColumn>(column)), QStringLiteral("0"));
}

void TestPaperTable::shouldReadRosterFlagsAndProfileSettings()
{
    Repository repo;
    repo.makePaper(QStringLiteral("A"), {{QStringLiteral("testtime"), QStringLiteral(" 45 ")},
                                         {QStringLiteral("RETESTPASSWD"), QString()},
                                         {QStringLiteral("rnd_test"), QStringLiteral("1")},
                                         {QStringLiteral("rnd_test_No"), QStringLiteral("8")}});
    writeFile(repo.paths().systemProfile(),
              "[TestName]\r\nTestNameCount=2\r\n1= A \r\n2=B\r\nA=0\r\n[LetViewTest]\r\nA=1\r\n");
    const exam::PaperTable table = exam::PaperTable::load(repo.paths());
    QCOMPARE(table.names(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    QCOMPARE(table.row(0).at(PaperColumn::Open), QStringLiteral("0"));
    QCOMPARE(table.row(0).at(PaperColumn::Review), QStringLiteral("1"));
    QCOMPARE(table.row(0).at(PaperColumn::TestTime), QStringLiteral("45"));
    QCOMPARE(table.row(0).at(PaperColumn::RetestPassword), QString());
    QCOMPARE(table.row(0).at(PaperColumn::DrawCount), QStringLiteral("8"));
    // B has no flags and no profile.
    QCOMPARE(table.row(1).at(PaperColumn::Open), QStringLiteral("0"));
    QCOMPARE(table.row(1).at(PaperColumn::Review), QStringLiteral("0"));
    QCOMPARE(table.row(1).at(PaperColumn::TestTime), QStringLiteral("0"));
}

void TestPaperTable::shouldNotReadThroughAStoredNameThatLeavesTheRepository()
{
    Repository repo;
    writeFile(repo.root() + QStringLiteral("/x/x.cho"), "[MAIN]\r\nTESTTIME=77\r\n");
    writeFile(repo.paths().systemProfile(), "[TestName]\r\nTestNameCount=1\r\n1=../x\r\n");
    const exam::PaperTable table = exam::PaperTable::load(repo.paths());
    QCOMPARE(table.names(), QStringList{QStringLiteral("../x")});
    QCOMPARE(table.row(0).at(PaperColumn::TestTime), QStringLiteral("0"));
}

void TestPaperTable::shouldGiveANewPaperItsDefaults_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    const QString name = QStringLiteral("期末考试");
    const QList<std::pair<PaperColumn, QString>> defaults = {
        {PaperColumn::Name, name},
        {PaperColumn::Open, QStringLiteral("1")},
        {PaperColumn::TestTime, QStringLiteral("30")},
        {PaperColumn::FullMark, QString()},
        {PaperColumn::ExerciseMode, QStringLiteral("0")},
        {PaperColumn::RetestPassword, QStringLiteral("358")},
        {PaperColumn::ReloginPassword, QStringLiteral("469")},
        {PaperColumn::DisplayScore, QStringLiteral("1")},
        {PaperColumn::QuestionSort, QStringLiteral("1")},
        {PaperColumn::AGrade, QStringLiteral("90")},
        {PaperColumn::BGrade, QStringLiteral("80")},
        {PaperColumn::CGrade, QStringLiteral("70")},
        {PaperColumn::DGrade, QStringLiteral("60")},
        {PaperColumn::QuestionCount, QString()},
        {PaperColumn::Author, QString()},
        {PaperColumn::DefaultMark, QStringLiteral("5")},
        {PaperColumn::About, name},
        {PaperColumn::RandomDraw, QString()},
        {PaperColumn::DrawCount, QString()},
        {PaperColumn::Review, QString()}};
    for (const auto &[column, value] : defaults)
        QTest::addRow("col %d", static_cast<int>(column)) << static_cast<int>(column) << value;
}

void TestPaperTable::shouldGiveANewPaperItsDefaults()
{
    QFETCH(int, column);
    QFETCH(QString, expected);
    QCOMPARE(exam::newPaperRow(QStringLiteral("期末考试")).at(static_cast<PaperColumn>(column)),
             expected);
}

QTEST_GUILESS_MAIN(TestPaperTable)
#include "tst_paper_table.moc"
