#include "proctor/analysis/quality_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "window_driving.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;
using namespace exam::platform;
using window_driving::control;

namespace {

// Five students, three questions worth 10 each (keys A, BD, C); scores are the sums of the items.
//   1001  1 24 3  30
//   1002  1 24 2  20
//   1003  1 2  3  20
//   1004  1 –  3  20
//   1005  – 3  2   0
// Ordered by score (ties by number) as listed; n = round(0.27 · 5) = 1: upper group 1001, lower
// group 1005. Q1: P 0.8, D 1; Q2: P 0.4, D 1; Q3: P 0.6, D 1. Mean 90 / 5 = 18.
ResultsData fiveStudents(int withScore = 5)
{
    ResultsData data;
    data.paper = QStringLiteral("期中考试");
    data.className = QStringLiteral("高一(1)班");
    data.firstNumber = 1001;
    data.standardAnswers = {1, 24, 3};
    data.questionMarks = {10, 10, 10};
    data.thresholds = {27, 24, 18, 12};
    const QList<QList<qint64>> answers = {{1, 24, 3}, {1, 24, 2}, {1, 2, 3}, {1, 0, 3}, {0, 3, 2}};
    const QList<double> scores = {30, 20, 20, 20, 0};
    for (int i = 0; i < answers.size(); ++i) {
        StudentRecord student;
        student.number = QString::number(1001 + i);
        student.hasScore = i < withScore;
        student.scoreValue = student.hasScore ? scores.at(i) : 0;
        student.answers = answers.at(i);
        data.students.append(student);
    }
    return data;
}

QStringList rowTexts(QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->item(row, column)->text());
    return texts;
}

} // namespace

class TestQualityWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldListEveryQuestionAndShowTheFirstQuestionsOptions()
    {
        FakeDialogs dialogs;
        QualityWindow window(fiveStudents(), {&dialogs, {}, {}});
        QCOMPARE(window.objectName(), QStringLiteral("质量分析"));
        auto *questions = control<QTableWidget>(window, QStringLiteral("Grid题目质量"));
        QCOMPARE(questions->rowCount(), 3);
        // Q2 item scores 10 10 0 0 0 (mean 4), rests 20 10 20 20 0 (mean 14): Σ(x − x̄)(y − ȳ) = 20,
        // Σ(x − x̄)² = 120, Σ(y − ȳ)² = 320, r = 20 / √38400 = 0.102.
        QCOMPARE(rowTexts(questions, 1),
                 (QStringList{"2", "10", "BD", "4", "0.4", "1", "0.1", QString()}));
        auto *figures = control<QTableWidget>(window, QStringLiteral("Grid试卷质量"));
        QCOMPARE(rowTexts(figures, 0), (QStringList{"人数", "5"}));
        QCOMPARE(rowTexts(figures, 1), (QStringList{"平均分", "18"}));
        // Q1 selected at the start: all chose A but 1005, who left it blank.
        QCOMPARE(window.selectedItem(), 0);
        auto *options = control<QTableWidget>(window, QStringLiteral("Grid选项分布"));
        QCOMPARE(rowTexts(options, 0),
                 (QStringList{"80%", "0%", "0%", "0%", "0%", "0%", "0%", "20%"}));
        QCOMPARE(rowTexts(options, 2),
                 (QStringList{"0%", "0%", "0%", "0%", "0%", "0%", "0%", "100%"}));
    }

    void shouldSelectTheQuestionOfAClickedPoint()
    {
        FakeDialogs dialogs;
        QualityWindow window(fiveStudents(), {&dialogs, {}, {}});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *view = control<QChartView>(window, QStringLiteral("Chart难度区分度"));
        QScatterSeries *series = nullptr;
        for (QAbstractSeries *s : view->chart()->series()) {
            if (auto *scatter = qobject_cast<QScatterSeries *>(s))
                series = scatter;
        }
        QVERIFY(series);
        // Question 3: P 0.6, D 1.
        const QPointF inChart = view->chart()->mapToPosition(QPointF(0.6, 1), series);
        const QPoint inView = view->mapFromScene(view->chart()->mapToScene(inChart));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, inView);
        QCOMPARE(window.selectedItem(), 2);
        QCOMPARE(control<QTableWidget>(window, QStringLiteral("Grid题目质量"))->currentRow(), 2);
        QCOMPARE(control<QLabel>(window, QStringLiteral("Lab选项分布"))->text(),
                 QStringLiteral("第 3 题的选项分布（标准答案 C）"));
        QVERIFY(series->isPointSelected(2));
        QVERIFY(!series->isPointSelected(0));
    }

    void shouldSayTooFewStudentsInsteadOfFigures()
    {
        FakeDialogs dialogs;
        QualityWindow window(fiveStudents(1), {&dialogs, {}, {}});
        QCOMPARE(control<QLabel>(window, QStringLiteral("Lab人数不足"))->text(),
                 QStringLiteral("人数不足"));
        QVERIFY(!window.findChild<QTableWidget *>(QStringLiteral("Grid题目质量")));
        QVERIFY(!control<QPushButton>(window, QStringLiteral("Cmd输出PDF"))->isEnabled());
    }

    void shouldWriteTheReportBesideTheExportsAndNameIt_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("tail");
        QTest::newRow("opened") << true << QString();
        QTest::newRow("no viewer") << false << QStringLiteral("\n\n没有程序能打开它，请另行打开。");
    }

    void shouldWriteTheReportBesideTheExportsAndNameIt()
    {
        QFETCH(bool, opens);
        QFETCH(QString, tail);
        QTemporaryDir folder;
        FakeDialogs dialogs;
        QStringList opened;
        QualityWindow window(fiveStudents(), {&dialogs, folder.path(), [&](const QString &path) {
                                                  opened.append(path);
                                                  return opens;
                                              }});
        window_driving::click(window, QStringLiteral("Cmd输出PDF"));
        const QString path = folder.filePath(QStringLiteral("期中考试-高一(1)班-质量分析.pdf"));
        QCOMPARE(opened, QStringList{path});
        QCOMPARE(dialogs.messages(),
                 QStringList{QStringLiteral("质量分析报告已经保存为：\n") + path + tail});
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.contains("/MediaBox [0 0 595")); // A4: 595 × 842 points
    }

    void shouldSayWhenTheReportCannotBeSaved()
    {
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        FakeDialogs dialogs;
        QStringList opened;
        const QString below = blocker.fileName() + QStringLiteral("/报告");
        QualityWindow window(fiveStudents(), {&dialogs, below, [&](const QString &path) {
                                                  opened.append(path);
                                                  return true;
                                              }});
        window_driving::click(window, QStringLiteral("Cmd输出PDF"));
        QVERIFY(opened.isEmpty());
        QCOMPARE(dialogs.messages(),
                 QStringList{
                     QStringLiteral("质量分析报告没有保存。\n\n无法建立文件夹 %1。").arg(below)});
    }
};

QTEST_MAIN(TestQualityWindow)
#include "tst_quality_window.moc"
