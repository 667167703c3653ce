#include "paper_document_fixture.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/current_paper.h"
#include "proctor/authoring/paper_document_export.h"
#include "proctor/authoring/paper_pdf_export.h"
#include "repository/system_profile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;
using namespace document_test;
using namespace exam::platform;

namespace {

const QString success = QStringLiteral("试卷已成功输出到WORD中!");
const QString failure = QStringLiteral("该功能需要您的计算机安装 WORD 软件.");
const QString paper = QStringLiteral("期中考试");

// Three questions: the second has no mark of its own and no explanation, the third no standard
// answer.
QList<QuestionSpec> threeQuestions()
{
    return {{questionText(1), explanationText(1), QStringLiteral("13"), QStringLiteral("4")},
            {questionText(2), {}, QStringLiteral("2"), {}},
            {questionText(3), explanationText(3), {}, QStringLiteral("6")}};
}

} // namespace

class TestPaperDocumentExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldWriteThePaperInOrder_data();
    void shouldWriteThePaperInOrder();
    void shouldNeverOverwriteAnEarlierDocument();
    void shouldSayWhereTheFileIsWhenItCannotBeOpened();
    void shouldReportWhatStopsTheExport_data();
    void shouldReportWhatStopsTheExport();
    void shouldKeepTheQuestionsBeforeAnUnreadableFile();
    void pdfShouldSaveTheChosenCopyAndOpenIt_data();
    void pdfShouldSaveTheChosenCopyAndOpenIt();
    void pdfOfAnUnreadablePaperShouldSaveNothing();

private:
    AuthoringRequest request(const PaperRow &row);
    PaperDocumentContext context();
    QStringList outputFiles() const { return QDir(m_output->path()).entryList(QDir::Files); }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_output;
    std::unique_ptr<PaperRepository> m_repository;
    FakeDialogs m_dialogs;
    QStringList m_opened;
    bool m_openSucceeds = true;
};

void TestPaperDocumentExport::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_output = std::make_unique<QTemporaryDir>();
    m_repository = std::make_unique<PaperRepository>(m_root->path());
    m_dialogs.clear();
    m_opened.clear();
    m_openSucceeds = true;
    setCurrentPaper({});
}

AuthoringRequest TestPaperDocumentExport::request(const PaperRow &row)
{
    AuthoringRequest r;
    r.dialogs = &m_dialogs;
    r.repositoryRoot = m_root->path();
    r.row = row;
    return r;
}

PaperDocumentContext TestPaperDocumentExport::context()
{
    PaperDocumentContext c;
    c.outputFolder = m_output->path();
    c.openDocument = [this](const QString &path) {
        m_opened << path;
        return m_openSucceeds;
    };
    return c;
}

void TestPaperDocumentExport::shouldWriteThePaperInOrder_data()
{
    QTest::addColumn<bool>("withExplanations");
    QTest::newRow("with explanations") << true;
    QTest::newRow("without explanations") << false;
}

void TestPaperDocumentExport::shouldWriteThePaperInOrder()
{
    QFETCH(bool, withExplanations);
    QVERIFY(m_repository->installTemplate());
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    m_dialogs.answerQuestion(withExplanations);
    paperDocumentExporter(context())(request(paperRow(paper, 3, QStringLiteral("15"))));

    QCOMPARE(currentPaper(), paper);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_dialogs.texts(), (QStringList{QStringLiteral("是否要同时输出解题辅导?"),
                                             success + QStringLiteral("\n\n文件保存在：") +
                                                 QDir::toNativeSeparators(m_opened.first())}));
    QCOMPARE(QFileInfo(m_opened.first()).fileName(), paper + QStringLiteral(".rtf"));

    const QString text = documentText(m_opened.first());
    QStringList expected = {paper,
                            QStringLiteral("命题人：王老师"),
                            QStringLiteral("考试时间：45 分钟"),
                            QStringLiteral("题量：3 题"),
                            QStringLiteral("满分：15 分"),
                            QStringLiteral("第1题（本题 4 分）"),
                            questionText(1)};
    if (withExplanations)
        expected << explanationText(1);
    // Question 2 has no mark of its own: the paper's default mark stands beside it.
    expected << QStringLiteral("第2题（本题 5 分）") << questionText(2)
             << QStringLiteral("第3题（本题 6 分）") << questionText(3);
    if (withExplanations)
        expected << explanationText(3);
    expected << QStringLiteral("参考答案") << QStringLiteral("第1题：13")
             << QStringLiteral("第2题：2") << QStringLiteral("第3题：[no answer]");
    QString missing;
    QVERIFY2(inOrder(text, expected, &missing),
             qPrintable(missing + QStringLiteral(" in ") + text));
    QCOMPARE(text.contains(explanationText(1)), withExplanations);
    QCOMPARE(text.contains(explanationText(3)), withExplanations);
    QCOMPARE(text.count(QStringLiteral("解题辅导")), withExplanations ? 2 : 0);
    QCOMPARE(text.count(QStringLiteral("（本题")), 3);
    QVERIFY(!text.contains(QStringLiteral("[QUESTION")));
    QVERIFY(!text.contains(QStringLiteral("[MARK]")));
    QVERIFY(!text.contains(QStringLiteral("[OP]")));
}

void TestPaperDocumentExport::shouldNeverOverwriteAnEarlierDocument()
{
    QVERIFY(m_repository->installTemplate());
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    m_dialogs.answerQuestion(false);
    m_dialogs.answerQuestion(true);
    exportPaperDocument(request(paperRow(paper, 3, QStringLiteral("15"))), context());
    exportPaperDocument(request(paperRow(paper, 3, QStringLiteral("15"))), context());
    QCOMPARE(outputFiles().size(), 2);
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(!documentText(m_opened.at(0)).contains(explanationText(1)));
    QVERIFY(documentText(m_opened.at(1)).contains(explanationText(1)));
}

void TestPaperDocumentExport::shouldSayWhereTheFileIsWhenItCannotBeOpened()
{
    QVERIFY(m_repository->installTemplate());
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    m_openSucceeds = false;
    exportPaperDocument(request(paperRow(paper, 3, QStringLiteral("15"))), context());
    QCOMPARE(m_dialogs.messages().size(), 1);
    QCOMPARE(m_dialogs.messages().first(),
             success + QStringLiteral("\n\n文件保存在：") +
                 QDir::toNativeSeparators(m_opened.first()) +
                 QStringLiteral("\n未能自动打开这个文件,请到这个位置打开它。"));
}

void TestPaperDocumentExport::shouldReportWhatStopsTheExport_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("no paper selected") << "no paper";
    QTest::newRow("no template") << "no template";
    QTest::newRow("template not RTF") << "not rtf";
    QTest::newRow("template without question block") << "no block";
}

void TestPaperDocumentExport::shouldReportWhatStopsTheExport()
{
    QFETCH(QString, problem);
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    if (problem == QLatin1String("not rtf") || problem == QLatin1String("no block")) {
        QVERIFY(m_repository->paths().createSystemFolder());
        QFile file(m_repository->paths().systemFile(QStringLiteral("paper.dot")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(problem == QLatin1String("not rtf") ? QByteArray("PK\x03\x04 a Word 2007 file")
                                                       : QByteArray("{\\rtf1 [PAPER NAME]\\par}"));
    } else if (problem != QLatin1String("no template")) {
        QVERIFY(m_repository->installTemplate());
    }
    const PaperRow row = problem == QLatin1String("no paper")
                             ? PaperRow()
                             : paperRow(paper, 3, QStringLiteral("15"));
    exportPaperDocument(request(row), context());

    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY2(m_dialogs.messages().first().startsWith(failure),
             qPrintable(m_dialogs.messages().first()));
    if (problem == QLatin1String("no block")) {
        // The cover was filled before the template turned out to lack the block; it is kept.
        QCOMPARE(outputFiles().size(), 1);
        QCOMPARE(m_opened.size(), 1);
    } else {
        QVERIFY(outputFiles().isEmpty());
        QVERIFY(m_opened.isEmpty());
    }
}

void TestPaperDocumentExport::shouldKeepTheQuestionsBeforeAnUnreadableFile()
{
    QVERIFY(m_repository->installTemplate());
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    QVERIFY(QFile::remove(m_repository->paths().paperFile(paper, QStringLiteral("301.RTF"))));
    m_dialogs.answerQuestion(false);
    exportPaperDocument(request(paperRow(paper, 3, QStringLiteral("15"))), context());

    QCOMPARE(m_dialogs.messages().size(), 1);
    const QString message = m_dialogs.messages().first();
    QVERIFY(message.startsWith(failure));
    QCOMPARE(outputFiles().size(), 1);
    const QString written = QDir(m_output->path()).filePath(outputFiles().first());
    QVERIFY(message.contains(QDir::toNativeSeparators(written)));
    const QString text = documentText(written);
    QVERIFY(text.contains(questionText(1)));
    QVERIFY(text.contains(questionText(2)));
    QVERIFY(!text.contains(questionText(3)));
}

void TestPaperDocumentExport::pdfShouldSaveTheChosenCopyAndOpenIt_data()
{
    QTest::addColumn<bool>("teacherCopy");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("students' copy") << false << QStringLiteral("期中考试.pdf");
    QTest::newRow("teacher's copy") << true << QStringLiteral("期中考试 教师用卷.pdf");
}

void TestPaperDocumentExport::pdfShouldSaveTheChosenCopyAndOpenIt()
{
    QFETCH(bool, teacherCopy);
    QFETCH(QString, fileName);
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    QVERIFY(m_repository->paths().createSystemFolder());
    QVERIFY(writePaperRoster(m_repository->paths().systemProfile(),
                             {{paper, QStringLiteral("1"), {}}}));
    m_dialogs.answerQuestion(teacherCopy);
    paperPdfExporter(context())(request(paperRow(paper, 3, QStringLiteral("15"))));

    QCOMPARE(outputFiles(), QStringList{fileName});
    const QString path = QDir(m_output->path()).filePath(fileName);
    QCOMPARE(m_opened, QStringList{path});
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF-"));
    QCOMPARE(m_dialogs.texts(),
             (QStringList{QStringLiteral("是否输出教师用卷(含标准答案和解题辅导)?"),
                          QStringLiteral("试卷已输出到 PDF。\n\n文件保存在：") +
                              QDir::toNativeSeparators(path)}));
}

void TestPaperDocumentExport::pdfOfAnUnreadablePaperShouldSaveNothing()
{
    QVERIFY(m_repository->makePaper(paper, threeQuestions(), 5));
    QVERIFY(m_repository->paths().createSystemFolder());
    QVERIFY(writePaperRoster(m_repository->paths().systemProfile(),
                             {{paper, QStringLiteral("1"), {}}}));
    QVERIFY(QFile::remove(m_repository->paths().paperFile(paper, QStringLiteral("201.RTF"))));
    exportPaperPdf(request(paperRow(paper, 3, QStringLiteral("15"))), context());

    QVERIFY(outputFiles().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY2(m_dialogs.messages().first().startsWith(QStringLiteral("试卷没有输出到 PDF。\n\n")),
             qPrintable(m_dialogs.messages().first()));
    QVERIFY2(m_dialogs.messages().first().contains(QStringLiteral("201.RTF")),
             qPrintable(m_dialogs.messages().first()));
}

QTEST_MAIN(TestPaperDocumentExport)
#include "tst_paper_document_export.moc"
