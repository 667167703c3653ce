// "examtool import" and "examtool export" on a repository in a temporary folder: what reaches the
// paper, what is skipped, and that a broken file or a wrong command line writes nothing.

#include "examtool/interchange_commands.h"
#include "platform/rtf/rtf.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace exam;

namespace {

const QString Paper = QStringLiteral("期中测验");

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QStringList &arguments)
{
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.exitCode = tool::runExamTool(tool::interchangeCommands(), arguments, out, err);
    out.flush();
    err.flush();
    return result;
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
        QVERIFY(saveRtfFile(paths.paperFile(Paper, QStringLiteral("11.RTF")), question));
        QVERIFY(saveRtfFile(paths.paperFile(Paper, QStringLiteral("12.RTF")), QTextDocument()));
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
        return rtfPlainText(fileBytes(paths().paperFile(Paper, paper().question(k).questionFile)))
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
};

void TestInterchangeCommands::importShouldAppendAfterTheLastQuestion()
{
    Repository repository;
    writeFile(repository.file(QStringLiteral("a.gift")), GoodGift);
    writeFile(repository.file(QStringLiteral("b.txt")), SkippingGift);

    const Run result = run({QStringLiteral("import"), QStringLiteral("--paper"), Paper,
                            QStringLiteral("--repository"), repository.root(),
                            repository.file(QStringLiteral("a.gift")),
                            repository.file(QStringLiteral("b.txt"))});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, repository.file(QStringLiteral("b.txt"))
                             + QStringLiteral(":1: 跳过: 题型“填空题”不能导入,本系统只有选择题和判断题\n"
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
    QCOMPARE(rtfPlainText(fileBytes(explanation)).trimmed(), QStringLiteral("因为一加一等于二"));
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

QTEST_MAIN(TestInterchangeCommands)
#include "tst_interchange_commands.moc"
