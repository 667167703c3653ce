// The repository check on a small hand-made repository: one line per finding, at the line of the
// entry, in the order of files and lines; values checked where numbers are expected.

#include "examtool/repository_check.h"
#include "examtool/value_checks.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using exam::tool::NumberRange;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray gb(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QStringList texts(const QList<exam::tool::Finding> &findings)
{
    QStringList lines;
    for (const exam::tool::Finding &finding : findings)
        lines.append(finding.text());
    return lines;
}

} // namespace

class TestRepositoryCheck : public QObject
{
    Q_OBJECT

private slots:
    void shouldReportEachFindingAtItsLine();
    void shouldFindAFreshRepositoryClean();
    void shouldRefuseAFolderThatIsNoRepository_data();
    void shouldRefuseAFolderThatIsNoRepository();
    void shouldFindNumberProblems_data();
    void shouldFindNumberProblems();
};

void TestRepositoryCheck::shouldReportEachFindingAtItsLine()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    QVERIFY(writeFile(root + u"/sys/sys.cho"_qs,
                      gb(QStringLiteral("[ClassName]\r\nClassNameCount=2\r\n1=801\r\n2=a:b\r\n"
                                        "[FirstNumber]\r\n801=1\r\na:b=1\r\n"
                                        "[LastNumber]\r\n801=30\r\na:b=9x\r\n"
                                        "[TestName]\r\nTestNameCount=2\r\n1=期中\r\n2=期中\r\n"
                                        "期中=1\r\n"))));
    QVERIFY(writeFile(root + u"/SHIJUAN/期中/期中.cho"_qs,
                      gb(QStringLiteral("[MAIN]\r\nTESTTIME=30分钟\r\nQuestion_conut= 2\r\n"
                                        "Mark= 5\r\n[1]\r\nQUESTION=1.RTF\r\nexplain=2.RTF\r\n"
                                        "answer=13\r\n[2]\r\nQUESTION=\r\n"))));
    QVERIFY(writeFile(root + u"/SHIJUAN/期中/1.rtf"_qs, "{\\rtf1 1}"));
    QVERIFY(QDir(root).mkpath(u"SHIJUAN/旧卷"_qs));
    QVERIFY(writeFile(root + u"/CHENGJI/期中/8015.cho"_qs,
                      gb(QStringLiteral("[801]\r\n5=张三\r\n5DF=九十\r\n"))));
    QVERIFY(writeFile(root + u"/CHENGJI/期中/80131.cho"_qs,
                      gb(QStringLiteral("[801]\r\n31=李四\r\n"))));

    const exam::tool::RepositoryCheck check = exam::tool::checkRepository(root);
    QVERIFY(check.readable);
    const QStringList expected = {
        u"CHENGJI/期中/80131.cho: 考号 31 不在班级“801”的考号范围 1 至 30 内"_qs,
        u"CHENGJI/期中/8015.cho:3: [801] 5DF 的值“九十”不是数字"_qs,
        u"SHIJUAN/旧卷: 试卷列表中没有这份试卷,控制台和考生都看不到它"_qs,
        u"SHIJUAN/期中/期中.cho:2: [MAIN] TESTTIME 的值“30分钟”不是数字"_qs,
        u"SHIJUAN/期中/期中.cho:7: 第 1 题的解题辅导文件 2.RTF 不存在"_qs,
        u"SHIJUAN/期中/期中.cho:9: 第 2 题没有题目文件"_qs,
        u"sys/sys.cho:4: 控制台不接受班级名称“a:b”:班级名称中不能含有以下字符: \\ / : * ? \" < > | [ ] = 及控制字符!"_qs,
        u"sys/sys.cho:10: [LastNumber] a:b 的值“9x”不是数字"_qs,
        u"sys/sys.cho:14: 试卷“期中”在第 13 行已经列出"_qs,
    };
    QCOMPARE(texts(check.findings), expected);
}

void TestRepositoryCheck::shouldFindAFreshRepositoryClean()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(u"SHIJUAN"_qs));
    QVERIFY(QDir(dir.path()).mkpath(u"CHENGJI"_qs));
    const exam::tool::RepositoryCheck check = exam::tool::checkRepository(dir.path());
    QVERIFY(check.readable);
    QCOMPARE(texts(check.findings), QStringList());
}

void TestRepositoryCheck::shouldRefuseAFolderThatIsNoRepository_data()
{
    QTest::addColumn<QString>("entry"); // below a temporary folder
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("missing folder") << "missing"
                                    << "文件夹不存在或无法读取";
    QTest::newRow("a file") << "file.txt"
                            << "文件夹不存在或无法读取";
    QTest::newRow("a folder of something else") << "other"
                                                << "不是考试库";
}

void TestRepositoryCheck::shouldRefuseAFolderThatIsNoRepository()
{
    QFETCH(QString, entry);
    QFETCH(QString, errorPart);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"file.txt"_qs), "text"));
    QVERIFY(writeFile(dir.filePath(u"other/notes/a.cho"_qs), "[A]\r\n"));
    const exam::tool::RepositoryCheck check = exam::tool::checkRepository(dir.filePath(entry));
    QVERIFY(!check.readable);
    QVERIFY2(check.error.contains(errorPart), qPrintable(check.error));
}

void TestRepositoryCheck::shouldFindNumberProblems_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("problem");

    const int int16 = int(NumberRange::Int16);
    QTest::newRow("number") << "12" << int16 << "";
    QTest::newRow("blanks and sign") << " -3.5 " << int16 << "";
    QTest::newRow("empty") << "" << int16 << "";
    QTest::newRow("word") << "abc" << int16 << "[S] k 的值“abc”不是数字";
    QTest::newRow("number with a unit") << "12分" << int16 << "[S] k 的值“12分”不是数字";
    QTest::newRow("full-width digits") << "３０" << int16 << "[S] k 的值“３０”不是数字";
    QTest::newRow("beyond 16 bits")
        << "40000" << int16 << "[S] k 的值 40000 超出 -32768 至 32767 的范围";
    QTest::newRow("answer beyond 16 bits") << "1234567" << int(NumberRange::Any) << "";
}

void TestRepositoryCheck::shouldFindNumberProblems()
{
    QFETCH(QString, value);
    QFETCH(int, range);
    QFETCH(QString, problem);
    QCOMPARE(exam::tool::numberProblem(u"[S] k"_qs, value, NumberRange(range)).value_or(QString()),
             problem);
}

QTEST_GUILESS_MAIN(TestRepositoryCheck)
#include "tst_repository_check.moc"
