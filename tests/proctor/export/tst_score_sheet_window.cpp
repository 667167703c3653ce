// The score sheet export behind the results window's "输出到 EXCEL" button, on results read from a
// repository and shown sorted.
#include "platform/dialogs/fake_dialogs.h"
#include "platform/xlsx/workbook.h"
#include "proctor/export/results_export.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_repository.h"
#include "proctor/results/results_window.h"
#include "results_fixture.h"

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace exam;
using namespace exam::platform;

class TestScoreSheetWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldExportTheRefreshInNumberOrderWhateverTheListShows();
};

void TestScoreSheetWindow::shouldExportTheRefreshInNumberOrderWhateverTheListShows()
{
    const QString paper = QStringLiteral("单元测验");
    const QString className = QStringLiteral("初二(3)班");
    ResultsRepository repository;
    repository.addClass(className, 3, 1001, 1003);
    repository.addPaper(paper, {QStringLiteral("13"), QStringLiteral("2")});
    repository.handIn(paper, className, 1001, QStringLiteral("张三"), QStringLiteral("85"),
                      {QStringLiteral("13"), QStringLiteral("2")});
    repository.writeStudent(
        paper, className, 1002,
        {{QString(), QStringLiteral("李四")}, {QStringLiteral("DA1"), QStringLiteral("1")}});
    repository.handIn(paper, className, 1003, QStringLiteral("王五"), QStringLiteral("90"),
                      {QStringLiteral("13"), QStringLiteral("24")});
    QVERIFY(installScoreTemplate(repository.root()));

    QTemporaryDir output;
    FakeDialogs dialogs;
    QStringList opened;
    ResultsWindow window(repository.root(), dialogs);
    window.setExportHandler(
        scoreSheetExporter({repository.root(), &dialogs, output.path(), [&](const QString &path) {
                                opened << path;
                                return true;
                            }}));
    QSignalSpy finished(&window.refresher(), &ResultsRefresher::finished);
    QVERIFY(window.start());
    QVERIFY(finished.wait());

    // Highest score first in the window's lists, question list by rate.
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("CMD成绩")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Cmd得分率")), Qt::LeftButton);
    QCOMPARE(window.presenter().studentOrder().first(), 2);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Cmd输出")), Qt::LeftButton);

    QCOMPARE(opened.size(), 1);
    QCOMPARE(dialogs.messages(),
             QStringList{QStringLiteral("考试成绩已经输出到EXCEL中!\n\n文件保存在：") +
                         QDir::toNativeSeparators(opened.first())});
    xlsx::Workbook book;
    QVERIFY2(book.open(opened.first()), qPrintable(book.errorString()));
    QCOMPARE(book.cell(1, QStringLiteral("B2")).text, paper);
    QCOMPARE(book.cell(1, QStringLiteral("E1")).text, className);
    const QStringList names = {QStringLiteral("张三"), QStringLiteral("李四"),
                               QStringLiteral("王五")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(book.cell(1, 6 + i, 1).number, 1001.0 + i);
        QCOMPARE(book.cell(1, 6 + i, 2).text, names.at(i));
        QCOMPARE(book.cell(4, 6 + i, 2).text, names.at(i));
    }
    QCOMPARE(book.cell(1, QStringLiteral("E8")).number, 1.0); // 90: first place
    QCOMPARE(book.cell(2, QStringLiteral("B9")).number, 2.0); // participants
    QCOMPARE(book.cell(3, QStringLiteral("A7")).number, 2.0); // question rows by number
    QCOMPARE(book.cell(4, QStringLiteral("E8")).number, 24.0);
    QCOMPARE(book.cell(4, QStringLiteral("D7")).type, xlsx::CellType::Empty); // still in the exam
}

QTEST_MAIN(TestScoreSheetWindow)
#include "tst_score_sheet_window.moc"
