// "examtool import" and "examtool export" on a repository in a temporary folder: what reaches the
// paper, what is skipped, and that a broken file or a wrong command line writes nothing.

#include "examtool/interchange_commands.h"
#include "examtool_run.h"
#include "platform/rtf/rtf.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <tuple>

using namespace exam;

namespace {

const QString Paper = QStringLiteral("期中测验");

using examtool_test::Run;

Run run(const QStringList &arguments)
{
    return examtool_test::runWith(tool::interchangeCommands(), arguments);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A repository with one listed paper of one question (default mark 5, own mark 4).
class Repository
{
public:
    Repository()
    {
        const RepositoryPaths paths(root());
        QVERIFY(paths.createSystemFolder());
        QVERIFY(paths.createPaperFolders(Paper));
        QVERIFY(writePaperRoster(paths.systemProfile(), {{Paper, QStringLiteral("1"), {}}}));
        PaperSettings settings = newPaperSettings(Paper);
        settings.defaultMark = QStringLiteral("5");
        QVERIFY(writeNewPaperSettings(paths.paperProfile(Paper), settings));
        QTextDocument question;
        question.setPlainText(QStringLiteral("已有的题\nA. 甲\nB. 乙"));
        QVERIFY(rtf::saveRtfFile(paths.paperFile(Paper, QStringLiteral("11.RTF")), question));
        QVERIFY(
            rtf::saveRtfFile(paths.paperFile(Paper, QStringLiteral("12.RTF")), QTextDocument()));
        PaperData data = loadPaper(paths.paperProfile(Paper));
        data.questionCount = 1;
        data.questions = QList<PaperQuestion>(3);
        data.question(1) = {QStringLiteral("11.RTF"), QStringLiteral("12.RTF"), QStringLiteral("2"),
                            QStringLiteral("4")};
        data.fullMark = totalMark(data);
        QVERIFY(savePaper(paths.paperProfile(Paper), data));
    }

    QString root() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    RepositoryPaths paths() const { return RepositoryPaths(root()); }
    PaperData paper() const { return loadPaper(paths().paperProfile(Paper)); }
    QString questionText(int k) const
    {
        return rtf::rtfPlainText(
                   fileBytes(paths().paperFile(Paper, paper().question(k).questionFile)))
            .trimmed();
    }
    QStringList paperFiles() const
    {
        return QDir(paths().paperFolder(Paper)).entryList(QDir::Files, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

const QByteArray GoodGift = "// two questions\n"
                            "::a:: 1 + 1 = {=2 ~3 ~4 ####因为一加一等于二}\n"
                            "\n"
                            "天是蓝的。{T}\n";
const QByteArray SkippingGift = "三加三等于几? {=六 =6}\n"
                                "\n"
                                "2 + 2 = {~3 =4}\n";
const QByteArray BrokenGift = "2 + 2 = {~3 =4\n";

} // namespace

class TestInterchangeCommands : public QObject
{
    Q_OBJECT

private slots:
    void importShouldAppendAfterTheLastQuestion();
    void importShouldWriteNothing_data();
    void importShouldWriteNothing();
    void exportThenImportShouldGiveTheSamePaper_data();
    void exportThenImportShouldGiveTheSamePaper();
    void pdfCopiesShouldShowAnswersOnlyToTheTeacher();
    void exportShouldRefuseAWrongCommandLine_data();
    void exportShouldRefuseAWrongCommandLine();
};

void TestInterchangeCommands::importShouldAppendAfterTheLastQuestion()
{
    Repository repository;
    writeFile(repository.file(QStringLiteral("a.gift")), GoodGift);
    writeFile(repository.file(QStringLiteral("b.txt")), SkippingGift);

    const Run result =
        run({QStringLiteral("import"), QStringLiteral("--paper"), Paper,
             QStringLiteral("--repository"), repository.root(),
             repository.file(QStringLiteral("a.gift")), repository.file(QStringLiteral("b.txt"))});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out,
             repository.file(QStringLiteral("b.txt")) +
                 QStringLiteral(":1: 跳过: 题型“填空题”不能导入,本系统只有选择题和判断题\n"
                                "已把 3 道考题加入试卷“期中测验”,跳过 1 道\n"));

    const PaperData paper = repository.paper();
    QCOMPARE(paper.questionCount, 4);
    QCOMPARE(repository.questionText(1), QStringLiteral("已有的题\nA. 甲\nB. 乙"));
    QCOMPARE(repository.questionText(2), QStringLiteral("1 + 1 =\nA. 2\nB. 3\nC. 4"));
    QCOMPARE(repository.questionText(3), QStringLiteral("天是蓝的。\nA. 是\nB. 非"));
    QCOMPARE(repository.questionText(4), QStringLiteral("2 + 2 =\nA. 3\nB. 4"));
    QStringList answers;
    for (int k = 1; k <= 4; ++k)
        answers << paper.question(k).answer;
    QCOMPARE(answers, QStringList({"2", "1", "1", "2"}));
    const QString explanation = repository.paths().paperFile(Paper, paper.question(2).explainFile);
    QCOMPARE(rtf::rtfPlainText(fileBytes(explanation)).trimmed(),
             QStringLiteral("因为一加一等于二"));
    // Own mark 4, then three questions at the default mark 5.
    QCOMPARE(readProfileString(QStringLiteral("MAIN"), QStringLiteral("full_mark"), {},
                               repository.paths().paperProfile(Paper)),
             QStringLiteral("19"));
    QCOMPARE(repository.paperFiles().size(), 1 + 2 * 4);
}

void TestInterchangeCommands::importShouldWriteNothing_data()
{
    QTest::addColumn<QStringList>("arguments"); // "$" stands for the repository folder
    QTest::addColumn<QString>("said");

    QTest::newRow("one broken file among good ones")
        << QStringList{"import", "--paper", Paper, "--repository", "$", "$/a.gift", "$/broken.gift"}
        << "$/broken.gift:1: 错误: “{”没有对应的“}”\n"
           "examtool import: 文件有错误,没有导入任何考题\n";
    QTest::newRow("a file that is not there")
        << QStringList{"import", "--paper", Paper, "--repository", "$", "$/a.gift", "$/none.txt"}
        << "$/none.txt: 错误: 无法打开文件: No such file or directory\n"
           "examtool import: 文件有错误,没有导入任何考题\n";
    QTest::newRow("a paper the repository does not list")
        << QStringList{"import", "--paper", "期末", "--repository", "$", "$/a.gift"}
        << "examtool import: 考试库中没有试卷“期末”,没有导入任何考题\n";
    QTest::newRow("no paper named")
        << QStringList{"import", "--repository", "$", "$/a.gift"}
        << "用法: examtool import --paper <试卷名> [--repository <考试库文件夹>] <文件>…\n";
    QTest::newRow("no file named")
        << QStringList{"import", "--paper", Paper, "--repository", "$"}
        << "用法: examtool import --paper <试卷名> [--repository <考试库文件夹>] <文件>…\n";
}

void TestInterchangeCommands::importShouldWriteNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    Repository repository;
    writeFile(repository.file(QStringLiteral("a.gift")), GoodGift);
    writeFile(repository.file(QStringLiteral("broken.gift")), BrokenGift);
    const QByteArray profile = fileBytes(repository.paths().paperProfile(Paper));
    const QStringList files = repository.paperFiles();

    arguments.replaceInStrings(QStringLiteral("$"), repository.root());
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, said.replace(QStringLiteral("$"), repository.root()));
    QCOMPARE(fileBytes(repository.paths().paperProfile(Paper)), profile);
    QCOMPARE(repository.paperFiles(), files);
}

namespace {

const QString Copy = QStringLiteral("副本");

QImage picture()
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(30, 90, 200));
    return image;
}

// Adds questions of every kind the writers handle to the repository's paper: a picture in a
// question and in an explanation, several right options, true/false, own and default marks, a
// question without lettered lines, and characters GIFT and XML treat specially.
void addMixedQuestions(Repository &repository)
{
    struct Sample
    {
        QString text;
        QString explanation;
        QString answer;
        QString mark;
        bool pictures;
    };
    const QList<Sample> samples = {
        {"如图,蓝色的长方形有几条边?\nA. 3\nB. 4\nC. 5", "长方形有 4 条边。", "2", "", true},
        {"下列哪些是偶数? {特殊} ~ = # : <b>\nA. 2\nB. 3\nC. 4 & 6\nD. 7", "", "13", "3", false},
        {"水在 0 ℃ 结冰。\nA. 是\nB. 非", "标准大气压下", "1", "2.5", false},
        {"没有字母选项的题:甲、乙、丙哪个对?", "", "2", "", false},
    };
    const RepositoryPaths paths = repository.paths();
    PaperData data = repository.paper();
    for (const Sample &sample : samples) {
        QTextDocument question;
        question.setPlainText(sample.text);
        QTextDocument explanation;
        explanation.setPlainText(sample.explanation);
        if (sample.pictures) {
            for (QTextDocument *document : {&question, &explanation}) {
                document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("p.png")),
                                      picture());
                // The picture stands in a paragraph of its own after the first line.
                QTextCursor cursor(document);
                cursor.movePosition(QTextCursor::EndOfBlock);
                cursor.insertBlock();
                cursor.insertImage(QStringLiteral("p.png"));
            }
        }
        const int k = ++data.questionCount;
        data.questions.resize(k + 2);
        const QString name = QString::number(100 + k);
        data.question(k) = {name + QStringLiteral("q.RTF"), name + QStringLiteral("e.RTF"),
                            sample.answer, sample.mark};
        QVERIFY(rtf::saveRtfFile(paths.paperFile(Paper, data.question(k).questionFile), question));
        QVERIFY(
            rtf::saveRtfFile(paths.paperFile(Paper, data.question(k).explainFile), explanation));
    }
    data.fullMark = totalMark(data);
    QVERIFY(savePaper(paths.paperProfile(Paper), data));
}

void addEmptyPaper(Repository &repository, const QString &paper)
{
    const RepositoryPaths paths = repository.paths();
    QVERIFY(paths.createPaperFolders(paper));
    QVERIFY(writePaperRoster(paths.systemProfile(),
                             {{Paper, QStringLiteral("1"), {}}, {paper, QStringLiteral("1"), {}}}));
    PaperSettings settings = newPaperSettings(paper);
    settings.defaultMark = QStringLiteral("5");
    QVERIFY(writeNewPaperSettings(paths.paperProfile(paper), settings));
}

struct QuestionView
{
    QString text;
    QString explanation;
    QString answer;
    double mark = 0;
    int pictures = 0;
    friend bool operator==(const QuestionView &, const QuestionView &) = default;
};

// What a poppler tool prints for the arguments. Qt's PDF writer maps a glyph that a Chinese
// font shares between a character and its Kangxi radical (色 and ⾊) back to the radical, so the
// text is compared in compatibility form, which folds the radicals into the characters.
QString pdfOutput(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, tool == QStringLiteral("pdftotext")
                            ? QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8")} +
                                  arguments + QStringList{QStringLiteral("-")}
                            : arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC);
}

QList<QuestionView> view(const Repository &repository, const QString &paper, int from)
{
    const RepositoryPaths paths = repository.paths();
    const PaperData data = loadPaper(paths.paperProfile(paper));
    QList<QuestionView> questions;
    for (int k = from; k <= data.questionCount; ++k) {
        const PaperQuestion &q = data.question(k);
        const QByteArray question = fileBytes(paths.paperFile(paper, q.questionFile));
        const QByteArray explanation = fileBytes(paths.paperFile(paper, q.explainFile));
        questions.append(
            {rtf::rtfPlainText(question).trimmed(), rtf::rtfPlainText(explanation).trimmed(),
             q.answer, questionMark(q.mark, data.defaultMark),
             static_cast<int>(question.count("{\\pict") + explanation.count("{\\pict"))});
    }
    return questions;
}

} // namespace

namespace QTest {
template <> char *toString(const QuestionView &q)
{
    return qstrdup(QStringLiteral("%1 | %2 | %3 | %4 | %5")
                       .arg(q.text, q.explanation, q.answer)
                       .arg(q.mark)
                       .arg(q.pictures)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

void TestInterchangeCommands::exportThenImportShouldGiveTheSamePaper_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("keepsMarksAndPictures");

    QTest::newRow("Moodle XML") << "moodle-xml" << true;
    QTest::newRow("GIFT") << "gift" << false;
}

void TestInterchangeCommands::exportThenImportShouldGiveTheSamePaper()
{
    QFETCH(QString, format);
    QFETCH(bool, keepsMarksAndPictures);
    Repository repository;
    addMixedQuestions(repository);
    addEmptyPaper(repository, Copy);
    const QString file = repository.file(QStringLiteral("paper.") + format);

    Run result = run(
        {"export", "--paper", Paper, "--format", format, "--repository", repository.root(), file});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QStringLiteral("已把试卷“期中测验”的 5 道考题输出到 %1\n").arg(file));
    result = run({"import", "--paper", Copy, "--repository", repository.root(), file});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);

    QList<QuestionView> original = view(repository, Paper, 1);
    // The question without lettered lines comes back with the bare letters as its options.
    original[4].text += QStringLiteral("\nA. A\nB. B");
    if (!keepsMarksAndPictures) {
        for (QuestionView &q : original) {
            q.mark = 5;
            q.pictures = 0;
        }
        // The paragraph that held the picture goes with it.
        original[1].text.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
    }
    QCOMPARE(view(repository, Copy, 1), original);
    QCOMPARE(original.at(1).pictures, keepsMarksAndPictures ? 2 : 0);
}

void TestInterchangeCommands::pdfCopiesShouldShowAnswersOnlyToTheTeacher()
{
    Repository repository;
    addMixedQuestions(repository);
    for (const QString &format : {QStringLiteral("pdf"), QStringLiteral("pdf-teacher")}) {
        const Run result =
            run({"export", "--paper", Paper, "--format", format, "--repository", repository.root(),
                 repository.file(format + QStringLiteral(".pdf"))});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(fileBytes(repository.file(format + QStringLiteral(".pdf"))).startsWith("%PDF-"));
    }
    for (const char *tool : {"pdftotext", "pdfinfo", "pdffonts", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo, pdffonts, pdftoppm) is not installed");
    }

    const auto pdf = [&repository](const QString &format) {
        return repository.file(format + QStringLiteral(".pdf"));
    };
    const QString students = pdfOutput(QStringLiteral("pdftotext"), {pdf(QStringLiteral("pdf"))});
    const QString teachers =
        pdfOutput(QStringLiteral("pdftotext"), {pdf(QStringLiteral("pdf-teacher"))});
    for (const QString &shown :
         {QStringLiteral("期中测验"), QStringLiteral("如图,蓝色的"), QStringLiteral("3. (3 分)"),
          QStringLiteral("4. (2.5 分)"), QStringLiteral("D. 7")}) {
        QVERIFY2(students.contains(shown), qPrintable(students));
        QVERIFY2(teachers.contains(shown), qPrintable(teachers));
    }
    QVERIFY(!students.contains(QStringLiteral("标准答案")));
    QVERIFY(!students.contains(QStringLiteral("有 4 条边。")));
    QVERIFY2(teachers.contains(QStringLiteral("标准答案: A、C")), qPrintable(teachers));
    QVERIFY(teachers.contains(QStringLiteral("有 4 条边。")));

    for (const QString &format : {QStringLiteral("pdf"), QStringLiteral("pdf-teacher")}) {
        const QString info = pdfOutput(QStringLiteral("pdfinfo"), {pdf(format)});
        QVERIFY2(info.contains(QStringLiteral("Page size:       595 x 842 pts (A4)")),
                 qPrintable(info));
        // Every font is embedded (column "emb"), a Chinese one among them.
        const QStringList fonts = pdfOutput(QStringLiteral("pdffonts"), {pdf(format)})
                                      .split(u'\n', Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(std::any_of(fonts.cbegin(), fonts.cend(), [](const QString &line) {
            return line.contains(QStringLiteral("CJK"));
        }));
        for (const QString &line : fonts) {
            const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
            QVERIFY2(columns.size() > 5 && columns.at(columns.size() - 5) == QStringLiteral("yes"),
                     qPrintable(line));
        }
    }

    // The first page drawn as a picture holds the blue picture of question 2.
    std::ignore = pdfOutput(QStringLiteral("pdftoppm"),
                            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                             QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                             QStringLiteral("1"), pdf(QStringLiteral("pdf")),
                             repository.file(QStringLiteral("page"))});
    const QImage page(repository.file(QStringLiteral("page-1.png")));
    QVERIFY(!page.isNull());
    bool blue = false;
    for (int y = 0; y < page.height() && !blue; ++y)
        for (int x = 0; x < page.width() && !blue; ++x)
            blue = page.pixelColor(x, y) == QColor(30, 90, 200);
    QVERIFY(blue);
}

void TestInterchangeCommands::exportShouldRefuseAWrongCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // "$" stands for the repository folder
    QTest::addColumn<QString>("said");

    QTest::newRow("unknown format")
        << QStringList{"export", "--paper", Paper, "--format", "docx", "--repository", "$", "$/a"}
        << "examtool export: 没有格式“docx”\n";
    QTest::newRow("no format")
        << QStringList{"export", "--paper", Paper, "--repository", "$", "$/a"}
        << "用法: examtool export --paper <试卷名> --format moodle-xml|gift|pdf|pdf-teacher\n";
    QTest::newRow("two outputs")
        << QStringList{"export",       "--paper", Paper, "--format", "gift",
                       "--repository", "$",       "$/a", "$/b"}
        << "用法: examtool export --paper <试卷名> --format moodle-xml|gift|pdf|pdf-teacher\n";
    QTest::newRow("unknown paper")
        << QStringList{"export", "--paper", "期末", "--format", "gift", "--repository", "$", "$/a"}
        << "examtool export: 考试库中没有试卷“期末”\n";
    QTest::newRow("output folder missing")
        << QStringList{"export", "--paper",      Paper, "--format",
                       "gift",   "--repository", "$",   "$/no/a"}
        << "examtool export: 无法保存文件 $/no/a";
}

void TestInterchangeCommands::exportShouldRefuseAWrongCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    Repository repository;
    arguments.replaceInStrings(QStringLiteral("$"), repository.root());
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(said.replace(QStringLiteral("$"), repository.root())),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(repository.file(QStringLiteral("a"))));
}

QTEST_MAIN(TestInterchangeCommands)
#include "tst_interchange_commands.moc"
