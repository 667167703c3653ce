// examtool check on the demo repository finds nothing; on a damaged copy it finds every kind of
// damage, once each, and changes nothing. The built program exits 0, 1 and 2 accordingly.

#include "examtool/repository_check.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"
#include "tools/demo_repository.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class FixedClock final : public exam::Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 2), QTime(8, 30)); }
};

namespace {

QStringList allFiles(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

QByteArray treeDigest(const QString &root)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &path : allFiles(root)) {
        hash.addData(path.toUtf8());
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result();
}

bool copyTree(const QString &from, const QString &to)
{
    for (const QString &path : allFiles(from)) {
        const QString target = to + path.mid(from.size());
        const bool copied =
            QFileInfo(path).isDir() ? QDir().mkpath(target) : QFile::copy(path, target);
        if (!copied)
            return false;
    }
    return true;
}

struct ToolRun
{
    int exitCode = -1;
    QStringList lines;
};

ToolRun runExamtool(const QString &root)
{
    QProcess tool;
    tool.start(QStringLiteral(EXAM_EXAMTOOL), {QStringLiteral("check"), root});
    if (!tool.waitForFinished(120000))
        return {};
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    return {tool.exitCode(), out.split(u'\n', Qt::SkipEmptyParts)};
}

} // namespace

class TestDemoRepositoryCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldFindTheDemoRepositoryClean();
    void shouldFindEveryKindOfDamage_data();
    void shouldFindEveryKindOfDamage();
    void shouldFindNothingElseAndChangeNothing();
    void shouldExitByWhatItFound();

private:
    void damage();

    QTemporaryDir m_dir;
    QString m_demo;
    QString m_damaged;
    QString m_resultsPaper; // a paper with results of the first class
    QList<exam::tool::Finding> m_findings;
    QByteArray m_digestBefore;
};

void TestDemoRepositoryCheck::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_demo = m_dir.filePath(QStringLiteral("demo"));
    m_damaged = m_dir.filePath(QStringLiteral("damaged"));
    exam::SecureRandomSource random;
    FixedClock clock;
    if (const exam::Result result = exam::demo::writeDemoRepository(m_demo, random, clock); !result)
        QFAIL(qPrintable(result.message()));
    QVERIFY(copyTree(m_demo, m_damaged));
    damage();
    m_digestBefore = treeDigest(m_damaged);
    const exam::tool::RepositoryCheck check = exam::tool::checkRepository(m_damaged);
    QVERIFY(check.readable);
    m_findings = check.findings;
}

// Every kind of damage the check knows, once.
void TestDemoRepositoryCheck::damage()
{
    const exam::RepositoryPaths paths(m_damaged);
    const QString system = paths.systemProfile();
    const auto set = [&system](const QString &section, const QString &key, const QString &value) {
        QVERIFY(writeProfileString(section, key, value, system));
    };
    set(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount"), QStringLiteral("6"));
    set(QStringLiteral("ClassName"), QStringLiteral("3"), QStringLiteral("初一/1班"));
    set(QStringLiteral("ClassName"), QStringLiteral("4"), QStringLiteral("grade7"));
    set(QStringLiteral("ClassName"), QStringLiteral("5"), QStringLiteral("GRADE7"));
    set(QStringLiteral("FirstNumber"), QStringLiteral("初一/1班"), QStringLiteral("50"));
    set(QStringLiteral("LastNumber"), QStringLiteral("初一/1班"), QStringLiteral("10"));
    set(QStringLiteral("FirstNumber"), QStringLiteral("grade7"), QStringLiteral("1"));
    set(QStringLiteral("TestName"), QStringLiteral("TestNameCount"), QStringLiteral("4"));
    set(QStringLiteral("TestName"), QStringLiteral("4"), QStringLiteral("已删除的试卷"));
    QVERIFY(QDir(paths.papersFolder()).mkdir(QStringLiteral("旧试卷")));
    QVERIFY(QDir(paths.resultsFolder()).mkdir(QStringLiteral("旧试卷")));

    const QList<exam::demo::DemoPaper> papers = exam::demo::demoPapers();
    const QString firstClass = exam::demo::demoClasses().constFirst().name;
    for (const exam::demo::DemoPaper &paper : papers) {
        if (QFileInfo::exists(paths.resultProfile(paper.name, firstClass, QStringLiteral("1001"))))
            m_resultsPaper = paper.name;
    }
    QVERIFY(!m_resultsPaper.isEmpty());
    const QString paper = papers.constFirst().name;
    const exam::PaperData data = exam::loadPaper(paths.paperProfile(paper));
    QVERIFY(QFile::remove(paths.paperFile(paper, data.question(1).questionFile)));
    QVERIFY(writeProfileString(QStringLiteral("MAIN"), QStringLiteral("TESTTIME"),
                               QStringLiteral("三十"),
                               paths.paperProfile(papers.constLast().name)));

    const QString result = paths.resultProfile(m_resultsPaper, firstClass, QStringLiteral("1001"));
    QVERIFY(
        QFile::copy(result, paths.resultProfile(m_resultsPaper, firstClass, QStringLiteral("99"))));
    QVERIFY(QFile::copy(result, paths.resultProfile(m_resultsPaper, QStringLiteral("初三(9)班"),
                                                    QStringLiteral("1001"))));
    QVERIFY(writeProfileString(
        firstClass, QStringLiteral("1002DF"), QStringLiteral("abc"),
        paths.resultProfile(m_resultsPaper, firstClass, QStringLiteral("1002"))));
    QFile utf8(paths.resultProfile(m_resultsPaper, firstClass, QStringLiteral("1007")));
    QVERIFY(utf8.open(QIODevice::WriteOnly));
    utf8.write(QStringLiteral("[%1]\n1007=张三\n").arg(firstClass).toUtf8());
}

void TestDemoRepositoryCheck::shouldFindTheDemoRepositoryClean()
{
    const exam::tool::RepositoryCheck check = exam::tool::checkRepository(m_demo);
    QVERIFY(check.readable);
    QStringList texts;
    for (const exam::tool::Finding &finding : check.findings)
        texts.append(finding.text());
    QCOMPARE(texts, QStringList());
}

void TestDemoRepositoryCheck::shouldFindEveryKindOfDamage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message"); // a part of it

    QTest::newRow("encoding guessed") << "1007.cho"
                                      << "编码是推测的:按 UTF-8 读取";
    QTest::newRow("name refused") << "sys/sys.cho"
                                  << "控制台不接受班级名称“初一/1班”";
    QTest::newRow("names differing in case") << "sys/sys.cho"
                                             << "班级“GRADE7”与第";
    QTest::newRow("list entry missing") << "sys/sys.cho"
                                        << "班级列表缺少第 6 项";
    QTest::newRow("class range reversed") << "sys/sys.cho"
                                          << "班级“初一/1班”的起始考号 50 大于结束考号 10";
    QTest::newRow("class range missing") << "sys/sys.cho"
                                         << "班级“grade7”没有结束考号";
    QTest::newRow("paper folder missing")
        << "sys/sys.cho"
        << "试卷“已删除的试卷”的文件夹 SHIJUAN/已删除的试卷 不存在";
    QTest::newRow("results folder missing")
        << "sys/sys.cho"
        << "试卷“已删除的试卷”的成绩文件夹 CHENGJI/已删除的试卷 不存在";
    QTest::newRow("paper folder unlisted") << "SHIJUAN/旧试卷"
                                           << "试卷列表中没有这份试卷";
    QTest::newRow("results folder unlisted") << "CHENGJI/旧试卷"
                                             << "成绩文件夹不属于试卷列表中的任何试卷";
    QTest::newRow("question file missing") << ".cho"
                                           << "第 1 题的题目文件";
    QTest::newRow("number outside the class")
        << "99.cho"
        << "考号 99 不在班级“高一(1)班”的考号范围 1001 至 1040 内";
    QTest::newRow("result of no class") << "初三(9)班1001.cho"
                                        << "成绩文件不属于任何已列出的班级";
    QTest::newRow("setting not a number") << ".cho"
                                          << "[MAIN] TESTTIME 的值“三十”不是数字";
    QTest::newRow("score not a number") << "1002.cho"
                                        << "1002DF 的值“abc”不是数字";
}

void TestDemoRepositoryCheck::shouldFindEveryKindOfDamage()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QStringList texts;
    int found = 0;
    for (const exam::tool::Finding &finding : std::as_const(m_findings)) {
        texts.append(finding.text());
        found += finding.file.endsWith(file) && finding.message.contains(message);
    }
    QVERIFY2(found == 1, qPrintable(texts.join(u'\n')));
}

void TestDemoRepositoryCheck::shouldFindNothingElseAndChangeNothing()
{
    QCOMPARE(m_findings.size(), 15);
    QCOMPARE(treeDigest(m_damaged), m_digestBefore);
}

void TestDemoRepositoryCheck::shouldExitByWhatItFound()
{
    ToolRun run = runExamtool(m_demo);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, QStringList());
    run = runExamtool(m_damaged);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines.size(), m_findings.size());
    QCOMPARE(run.lines.constFirst(), m_findings.constFirst().text());
    run = runExamtool(m_dir.filePath(QStringLiteral("missing")));
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(treeDigest(m_damaged), m_digestBefore);
}

QTEST_MAIN(TestDemoRepositoryCheck)
#include "tst_demo_repository_check.moc"
