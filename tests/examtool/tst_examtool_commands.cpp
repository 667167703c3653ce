// The examtool command line: help for the tool and each command, and the exit codes of check.

#include "examtool/command_line.h"
#include "examtool_run.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

using examtool_test::Run;

Run run(const QStringList &arguments)
{
    return examtool_test::runWith(exam::tool::commands(), arguments);
}

} // namespace

class TestExamtoolCommands : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowHelp_data();
    void shouldShowHelp();
    void shouldRefuseAWrongCommandLine_data();
    void shouldRefuseAWrongCommandLine();
    void checkShouldExitByWhatItFound();
};

void TestExamtoolCommands::shouldShowHelp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("shown");

    QTest::newRow("--help") << QStringList{"--help"} << "用法: examtool <命令> [参数]";
    QTest::newRow("help") << QStringList{"help"} << "  check     检查考试库,只读不改";
    QTest::newRow("help check") << QStringList{"help", "check"}
                                << "用法: examtool check <考试库文件夹>";
    QTest::newRow("check --help")
        << QStringList{"check", "--help"}
        << "退出码: 0 没有发现问题;1 发现问题;2 无法读取考试库或参数有误。";
    QTest::newRow("check -h with a folder")
        << QStringList{"check", "/nowhere", "-h"} << "用法: examtool check <考试库文件夹>";
}

void TestExamtoolCommands::shouldShowHelp()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, shown);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(shown), qPrintable(result.out));
    QCOMPARE(result.err, QString());
}

void TestExamtoolCommands::shouldRefuseAWrongCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");

    QTest::newRow("nothing") << QStringList() << "用法: examtool <命令> [参数]";
    QTest::newRow("unknown command") << QStringList{"repair"} << "examtool: 没有命令“repair”";
    QTest::newRow("check without a folder")
        << QStringList{"check"} << "用法: examtool check <考试库文件夹>";
    QTest::newRow("check with two folders")
        << QStringList{"check", "a", "b"} << "用法: examtool check <考试库文件夹>";
    QTest::newRow("check with an unknown option")
        << QStringList{"check", "--fix"} << "用法: examtool check <考试库文件夹>";
}

void TestExamtoolCommands::shouldRefuseAWrongCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.contains(said), qPrintable(result.err));
}

void TestExamtoolCommands::checkShouldExitByWhatItFound()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("CHENGJI")));

    Run result = run({QStringLiteral("check"), dir.path()});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QStringLiteral("examtool check: 没有发现问题\n"));

    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("CHENGJI/旧试卷")));
    result = run({QStringLiteral("check"), dir.path()});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QStringLiteral("CHENGJI/旧试卷: 成绩文件夹不属于试卷列表中的任何试卷\n"));
    QCOMPARE(result.err, QStringLiteral("examtool check: 发现 1 个问题\n"));

    result = run({QStringLiteral("check"), dir.filePath(QStringLiteral("missing"))});
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(QStringLiteral("examtool check: 文件夹不存在或无法读取")),
             qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestExamtoolCommands)
#include "tst_examtool_commands.moc"
