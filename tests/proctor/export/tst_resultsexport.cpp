#include "platform/dialogs/fake_dialogs.h"
#include "platform/xlsx/workbook.h"
#include "platform/xlsx/zip_archive.h"
#include "proctor/export/results_export.h"
#include "results_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;
using namespace exam::platform;

namespace {

const QString success = QStringLiteral("考试成绩已经输出到EXCEL中!");
const QString failure = QStringLiteral("本功能需要您的计算机安装有 EXCEL 软件.");

// A copy of the default template whose workbook lists only its first `sheets` worksheets.
bool writeShortTemplate(const QString &path, int sheets)
{
    xlsx::ZipReadResult read = xlsx::readZip(QStringLiteral(EXAM_TEMPLATES_DIR "/score.xlt"));
    for (xlsx::ZipEntry &entry : read.entries) {
        if (entry.name != "xl/workbook.xml")
            continue;
        for (int k = sheets + 1; k <= 6; ++k) {
            const QByteArray id = "r:id=\"rId" + QByteArray::number(k) + "\"/>";
            const qsizetype end = entry.data.indexOf(id);
            const qsizetype start = entry.data.lastIndexOf("<sheet ", end);
            if (end < 0 || start < 0)
                return false;
            entry.data.remove(start, end + id.size() - start);
        }
    }
    const xlsx::ZipWriteResult packed = xlsx::writeZip(read.entries);
    QFile file(path);
    return packed.ok && file.open(QIODevice::WriteOnly) &&
           file.write(packed.bytes) == packed.bytes.size();
}

} // namespace

class TestResultsExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldSaveOpenAndReport();
    void shouldNeverOverwriteAnEarlierExport();
    void shouldFindTheTemplateInAnyLetterCase();
    void shouldSayWhereTheFileIsWhenItCannotBeOpened();
    void shouldReportATemplateItCannotUse_data();
    void shouldReportATemplateItCannotUse();
    void shouldKeepTheSheetsFilledBeforeAMissingOne();
    void shouldFillATemplateWithoutQualitySheets();
    void shouldReportAFolderItCannotWriteTo();

private:
    ScoreExportContext context();
    QString outputFolder() const { return m_output->path(); }
    QStringList outputFiles() const { return QDir(outputFolder()).entryList(QDir::Files); }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_output;
    FakeDialogs m_dialogs;
    QStringList m_opened;
    bool m_openSucceeds = true;
};

void TestResultsExport::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_output = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    m_opened.clear();
    m_openSucceeds = true;
}

ScoreExportContext TestResultsExport::context()
{
    ScoreExportContext c;
    c.repositoryRoot = m_root->path();
    c.dialogs = &m_dialogs;
    c.outputFolder = outputFolder();
    c.openDocument = [this](const QString &path) {
        m_opened << path;
        return m_openSucceeds;
    };
    return c;
}

void TestResultsExport::shouldSaveOpenAndReport()
{
    QVERIFY(installScoreTemplate(m_root->path()));
    const ResultsData data = threeStudentsTwoQuestions();
    scoreSheetExporter(context())(nullptr, data);

    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_dialogs.messages(), QStringList{success + QStringLiteral("\n\n文件保存在：") +
                                               QDir::toNativeSeparators(m_opened.first())});
    QCOMPARE(outputFiles(), QStringList{QStringLiteral("期中考试-高一(1)班-考试成绩.xlsx")});
    xlsx::Workbook book;
    QVERIFY2(book.open(m_opened.first()), qPrintable(book.errorString()));
    QVERIFY(!book.isTemplate());
    QCOMPARE(book.cell(1, QStringLiteral("B2")).text, data.paper);
    QCOMPARE(book.cell(4, QStringLiteral("B6")).text, data.students.first().name);
}

void TestResultsExport::shouldNeverOverwriteAnEarlierExport()
{
    QVERIFY(installScoreTemplate(m_root->path()));
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), context());
    runScoreSheetExport(nullptr, nobodyHandedIn(), context());
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(m_opened.at(0) != m_opened.at(1));
    QCOMPARE(outputFiles().size(), 2);
    xlsx::Workbook first;
    QVERIFY(first.open(m_opened.at(0)));
    QCOMPARE(first.cell(1, QStringLiteral("D6")).number, 85.0);
}

void TestResultsExport::shouldFindTheTemplateInAnyLetterCase()
{
    QVERIFY(
        installScoreTemplate(m_root->path(), QStringLiteral("SYS"), QStringLiteral("Score.XLT")));
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), context());
    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY(m_dialogs.messages().first().startsWith(success));
}

void TestResultsExport::shouldSayWhereTheFileIsWhenItCannotBeOpened()
{
    QVERIFY(installScoreTemplate(m_root->path()));
    m_openSucceeds = false;
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), context());
    QCOMPARE(m_dialogs.messages().size(), 1);
    QCOMPARE(m_dialogs.messages().first(),
             success + QStringLiteral("\n\n文件保存在：") +
                 QDir::toNativeSeparators(m_opened.first()) +
                 QStringLiteral("\n未能自动打开这个文件,请到这个位置打开它。"));
}

void TestResultsExport::shouldReportATemplateItCannotUse_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("text file") << QByteArray("not a workbook");
    QTest::newRow("old binary template")
        << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0');
    QTest::newRow("damaged archive") << QByteArray("PK\x03\x04", 4) + QByteArray(300, 'z');
}

void TestResultsExport::shouldReportATemplateItCannotUse()
{
    QFETCH(QByteArray, content);
    if (!content.isEmpty()) {
        QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("sys")));
        QFile file(m_root->filePath(QStringLiteral("sys/score.xlt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), context());
    QCOMPARE(m_dialogs.messages().size(), 1);
    const QString message = m_dialogs.messages().first();
    QVERIFY(message.startsWith(failure));
    QVERIFY2(message.contains(QStringLiteral("score.xlt")), qPrintable(message));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(outputFiles().isEmpty());
}

void TestResultsExport::shouldKeepTheSheetsFilledBeforeAMissingOne()
{
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("sys")));
    QVERIFY(writeShortTemplate(m_root->filePath(QStringLiteral("sys/score.xlt")), 2));
    const ResultsData data = threeStudentsTwoQuestions();
    runScoreSheetExport(nullptr, data, context());

    QCOMPARE(m_dialogs.messages().size(), 1);
    const QString message = m_dialogs.messages().first();
    QVERIFY(message.startsWith(failure));
    QCOMPARE(outputFiles().size(), 1);
    const QString written = QDir(outputFolder()).filePath(outputFiles().first());
    QVERIFY2(message.endsWith(QStringLiteral("\n\n已输出的部分：文件保存在：") +
                              QDir::toNativeSeparators(written)),
             qPrintable(message));
    QCOMPARE(m_opened, QStringList{written});
    xlsx::Workbook book;
    QVERIFY(book.open(written));
    QCOMPARE(book.sheetCount(), 2);
    QCOMPARE(book.cell(1, QStringLiteral("A8")).number, 1003.0);
    QCOMPARE(book.cell(2, QStringLiteral("B9")).number, double(data.statistics.participants()));
}

// A school's own template from before the quality sheets.
void TestResultsExport::shouldFillATemplateWithoutQualitySheets()
{
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("sys")));
    QVERIFY(writeShortTemplate(m_root->filePath(QStringLiteral("sys/score.xlt")), 4));
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), context());
    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY(m_dialogs.messages().first().startsWith(success));
    xlsx::Workbook book;
    QVERIFY(book.open(m_opened.value(0)));
    QCOMPARE(book.sheetCount(), 4);
    QCOMPARE(book.cell(4, QStringLiteral("A8")).number, 1003.0);
}

void TestResultsExport::shouldReportAFolderItCannotWriteTo()
{
    QVERIFY(installScoreTemplate(m_root->path()));
    // A file stands where the output folder would be.
    const QString blocked = m_output->filePath(QStringLiteral("blocked"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ScoreExportContext c = context();
    c.outputFolder = blocked + QStringLiteral("/inner");
    runScoreSheetExport(nullptr, threeStudentsTwoQuestions(), c);
    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY(m_dialogs.messages().first().startsWith(failure));
    QVERIFY(m_opened.isEmpty());
}

QTEST_MAIN(TestResultsExport)
#include "tst_resultsexport.moc"
