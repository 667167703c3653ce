#include "proctor/classes/exam_room_model.h"

#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>

using exam::ExamRoomModel;
using exam::NoText;
using exam::YesText;

class TestExamRoomModel : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadFlagsWithTheWindowsDefaults_data();
    void shouldReadFlagsWithTheWindowsDefaults();
    void shouldToggleOnlyYesAndNo_data();
    void shouldToggleOnlyYesAndNo();
    void shouldRestoreAFlagToggledTwice();
    void shouldTouchNoPaperWhileNoneIsSelected();
    void shouldIgnoreRowsOutsideTheLists();
};

namespace {

exam::ProfileSnapshot profile(const QStringList &lines)
{
    QStringEncoder gb18030("GB18030");
    return exam::ProfileSnapshot::fromBytes(gb18030.encode(lines.join(QStringLiteral("\r\n"))));
}

// Two papers, three classes; paper "期中" has one explicit refusal and one explicit admission.
const QStringList TwoPapersThreeClasses = {
    QStringLiteral("[ClassName]"),     QStringLiteral("ClassNameCount=3"),
    QStringLiteral("1=一班"),          QStringLiteral("2=二班"),
    QStringLiteral("3=三班"),          QStringLiteral("[TestName]"),
    QStringLiteral("TestNameCount=2"), QStringLiteral("1=期中"),
    QStringLiteral("2=期末"),          QStringLiteral("期中=1"),
    QStringLiteral("期末=0"),          QStringLiteral("[期中]"),
    QStringLiteral("一班=0"),          QStringLiteral("二班=1"),
};

ExamRoomModel *loaded(QObject *parent)
{
    auto *model = new ExamRoomModel(parent);
    model->load(profile(TwoPapersThreeClasses));
    return model;
}

} // namespace

void TestExamRoomModel::shouldReadFlagsWithTheWindowsDefaults_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("open");
    QTest::addColumn<QStringList>("firstPaperAdmissions");

    QTest::newRow("explicit entries") << TwoPapersThreeClasses << QStringList{YesText, NoText}
                                      << QStringList{NoText, YesText, YesText};
    QTest::newRow("no admission sections: everyone admitted")
        << QStringList{QStringLiteral("[ClassName]"), QStringLiteral("ClassNameCount=2"),
                       QStringLiteral("1=一班"),      QStringLiteral("2=二班"),
                       QStringLiteral("[TestName]"),  QStringLiteral("TestNameCount=1"),
                       QStringLiteral("1=期中")}
        << QStringList{NoText} << QStringList{YesText, YesText};
    QTest::newRow("flags as numbers")
        << QStringList{QStringLiteral("[ClassName]"),     QStringLiteral("ClassNameCount=1"),
                       QStringLiteral("1=一班"),          QStringLiteral("[TestName]"),
                       QStringLiteral("TestNameCount=1"), QStringLiteral("1=期中"),
                       QStringLiteral("期中= 1.0"),       QStringLiteral("[期中]"),
                       QStringLiteral("一班=yes")}
        << QStringList{YesText} << QStringList{NoText};
}

void TestExamRoomModel::shouldReadFlagsWithTheWindowsDefaults()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, open);
    QFETCH(QStringList, firstPaperAdmissions);

    ExamRoomModel model;
    model.load(profile(lines));
    QCOMPARE(model.openTexts(), open);
    QCOMPARE(model.selectedPaper(), -1);
    QCOMPARE(model.admissionTexts(), QStringList(firstPaperAdmissions.size(), QString()));
    model.selectPaper(0);
    QCOMPARE(model.admissionTexts(), firstPaperAdmissions);
}

void TestExamRoomModel::shouldToggleOnlyYesAndNo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toggled");
    QTest::newRow("yes") << YesText << NoText;
    QTest::newRow("no") << NoText << YesText;
    QTest::newRow("blank row") << QString() << QString();
}

void TestExamRoomModel::shouldToggleOnlyYesAndNo()
{
    QFETCH(QString, text);
    QFETCH(QString, toggled);
    QCOMPARE(exam::toggledFlagText(text), toggled);
}

void TestExamRoomModel::shouldRestoreAFlagToggledTwice()
{
    ExamRoomModel *model = loaded(this);
    QSignalSpy openChanged(model, &ExamRoomModel::openChanged);
    const QList<exam::ExamRoomPaper> before = model->papersToWrite();
    model->toggleOpen(1);
    QCOMPARE(model->openTexts().at(1), YesText);
    model->toggleOpen(1);
    QCOMPARE(openChanged.size(), 2);
    model->selectPaper(0);
    model->toggleAdmission(2);
    model->toggleAdmission(2);
    QCOMPARE(model->papersToWrite().at(0).admitted, before.at(0).admitted);
    QCOMPARE(model->papersToWrite().at(1).open, before.at(1).open);
}

void TestExamRoomModel::shouldTouchNoPaperWhileNoneIsSelected()
{
    ExamRoomModel *model = loaded(this);
    const QList<exam::ExamRoomPaper> before = model->papersToWrite();
    model->toggleAdmission(0);
    QCOMPARE(model->admissionTexts(), QStringList(3, QString()));
    model->admitNone();
    QCOMPARE(model->admissionTexts(), QStringList(3, NoText));
    model->toggleAdmission(0);
    QCOMPARE(model->admissionTexts().first(), YesText);
    const QList<exam::ExamRoomPaper> after = model->papersToWrite();
    for (int i = 0; i < before.size(); ++i)
        QCOMPARE(after.at(i).admitted, before.at(i).admitted);
}

void TestExamRoomModel::shouldIgnoreRowsOutsideTheLists()
{
    ExamRoomModel *model = loaded(this);
    const QList<exam::ExamRoomPaper> before = model->papersToWrite();
    model->toggleOpen(-1);
    model->toggleOpen(2);
    model->selectPaper(7);
    QCOMPARE(model->selectedPaper(), -1);
    model->selectPaper(0);
    model->toggleAdmission(3);
    model->toggleAdmission(-1);
    QCOMPARE(model->papersToWrite().size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(model->papersToWrite().at(i).open, before.at(i).open);
        QCOMPARE(model->papersToWrite().at(i).admitted, before.at(i).admitted);
    }
}

QTEST_GUILESS_MAIN(TestExamRoomModel)
#include "tst_exam_room_model.moc"
