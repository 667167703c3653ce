// Opens exported workbooks in LibreOffice Calc (headless) and reads every sheet back as the office
// program sees it. Skipped where LibreOffice or its Calc is not installed.
#include "office_probe.h"
#include "platform/xlsx/cell_address.h"
#include "proctor/export/results_export.h"
#include "results_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;

namespace {

// One sheet as CSV: text cells quoted, number cells bare, as Calc shows them.
struct CsvSheet
{
    QList<QStringList> rows;   // cell texts without quotes
    QList<QList<bool>> quoted; // whether Calc wrote the cell as text

    QString at(const char *cell) const
    {
        const auto p = xlsx::parseCellName(QString::fromLatin1(cell));
        if (!p || p->row > rows.size() || p->column > rows.at(p->row - 1).size())
            return {};
        return rows.at(p->row - 1).at(p->column - 1);
    }
    bool isText(const char *cell) const
    {
        const auto p = xlsx::parseCellName(QString::fromLatin1(cell));
        return p && p->row <= quoted.size() && p->column <= quoted.at(p->row - 1).size() &&
               quoted.at(p->row - 1).at(p->column - 1);
    }
};

CsvSheet parseCsv(const QString &text)
{
    CsvSheet sheet;
    QStringList row;
    QList<bool> quotedRow;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            inQuotes = wasQuoted = true;
        } else if (c == u',' || c == u'\n') {
            row << field;
            quotedRow << wasQuoted;
            field.clear();
            wasQuoted = false;
            if (c == u'\n') {
                sheet.rows << row;
                sheet.quoted << quotedRow;
                row.clear();
                quotedRow.clear();
            }
        } else if (c != u'\r') {
            field += c;
        }
    }
    return sheet;
}

} // namespace

class TestScoreSheetOffice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldShowEveryFilledCellInCalc();

private:
    QList<CsvSheet> convert(const QString &workbook);
    QString m_soffice;
    QTemporaryDir m_folder;
};

void TestScoreSheetOffice::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    // A small workbook of this export tells whether Calc is there to read it.
    QTemporaryDir root;
    QVERIFY(installScoreTemplate(root.path()));
    const ScoreExportOutcome probe =
        exportScoreSheet(nobodyHandedIn(), root.filePath(QStringLiteral("sys/score.xlt")),
                         m_folder.filePath(QStringLiteral("probe")));
    QVERIFY2(probe.ok, qPrintable(probe.error));
    const QString missing =
        office_test::officeMissing(m_soffice, m_folder.filePath(QStringLiteral("profile")),
                                   QStringLiteral("csv"), probe.filePath, QStringLiteral("csv"));
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
}

QList<CsvSheet> TestScoreSheetOffice::convert(const QString &workbook)
{
    const QString out = m_folder.filePath(QStringLiteral("csv"));
    QProcess process;
    // A profile of its own, so that a running LibreOffice of the user is neither used nor
    // disturbed.
    process.start(
        m_soffice,
        {QStringLiteral("-env:UserInstallation=file://") +
             m_folder.filePath(QStringLiteral("profile")),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"),
         // Comma, double quote, UTF-8, quote all text cells, all sheets one file each.
         QStringLiteral(
             "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true,false,false,-1"),
         QStringLiteral("--outdir"), out, workbook});
    if (!process.waitForFinished(300000) || process.exitCode() != 0)
        return {};
    QList<CsvSheet> sheets;
    const QString base = QFileInfo(workbook).completeBaseName();
    for (const QString &sheetName : {QStringLiteral("学生成绩"), QStringLiteral("成绩统计"),
                                     QStringLiteral("试题分析"), QStringLiteral("答题情况")}) {
        QFile file(QDir(out).filePath(base + u'-' + sheetName + QStringLiteral(".csv")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        sheets << parseCsv(QString::fromUtf8(file.readAll()));
    }
    return sheets;
}

void TestScoreSheetOffice::shouldShowEveryFilledCellInCalc()
{
    QTemporaryDir root;
    QVERIFY(installScoreTemplate(root.path()));
    const ResultsData data = threeStudentsTwoQuestions();
    const ScoreExportOutcome outcome =
        exportScoreSheet(data, root.filePath(QStringLiteral("sys/score.xlt")), m_folder.path());
    QVERIFY2(outcome.ok, qPrintable(outcome.error));

    const QList<CsvSheet> sheets = convert(outcome.filePath);
    QCOMPARE(sheets.size(), 4);
    const CsvSheet &students = sheets.at(0);
    QCOMPARE(students.at("B2"), data.paper);
    QCOMPARE(students.at("E1"), data.className);
    QCOMPARE(students.at("B5"), QStringLiteral("考生姓名"));
    QCOMPARE(students.at("A6"), QStringLiteral("1001"));
    QVERIFY(!students.isText("A6"));
    QCOMPARE(students.at("B6"), QStringLiteral("张三"));
    QVERIFY(students.isText("B6"));
    QCOMPARE(students.at("D6"), data.students.at(0).score);
    QVERIFY(!students.isText("D6"));
    QCOMPARE(students.at("C7"), QStringLiteral("李小四"));
    QCOMPARE(students.at("D7"), QString());
    QCOMPARE(students.at("E8"), data.students.at(2).rank);
    QCOMPARE(students.at("F6"), QStringLiteral("00:12:40"));

    const CsvSheet &statistics = sheets.at(1);
    QCOMPARE(statistics.at("B1"), data.className);
    QCOMPARE(statistics.at("A6"), QStringLiteral("平均分"));
    QCOMPARE(statistics.at("B6").toDouble(), data.statistics.averageText().toDouble());
    QCOMPARE(statistics.at("B9"), QString::number(data.statistics.participants()));
    QCOMPARE(statistics.at("B22").toDouble(),
             data.statistics.percentText(data.statistics.passed()).toDouble());

    const CsvSheet &questions = sheets.at(2);
    QCOMPARE(questions.at("F1"), data.className);
    QCOMPARE(questions.at("B7"), QString::number(data.questions.at(1).standardAnswer));
    QCOMPARE(questions.at("C6"), QString::number(data.questions.at(0).correctRate));

    const CsvSheet &answers = sheets.at(3);
    QCOMPARE(answers.at("D5"), QStringLiteral("题号1"));
    QCOMPARE(answers.at("E5"), QStringLiteral("题号2"));
    QCOMPARE(answers.at("E8"), QStringLiteral("24"));
    QCOMPARE(answers.at("D7"), QString());
}

QTEST_GUILESS_MAIN(TestScoreSheetOffice)
#include "tst_scoresheet_office.moc"
