// The readers of Aiken, GIFT and Moodle XML files, on files written from each format's public
// description: what becomes a question of this system, what is skipped, and which files are
// refused whole.

#include "interchange/question_readers.h"
#include "platform/rtf/rtf.h"

#include <QTest>

using namespace exam::interchange;

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(EXAM_TEST_DATA_DIR "/") + QString::fromUtf8(name);
}

QList<int> skippedLines(const ReadResult &result)
{
    QList<int> lines;
    for (const SkippedQuestion &skip : result.skipped)
        lines.append(skip.line);
    return lines;
}

} // namespace

class TestQuestionReaders : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadTheQuestionsTheSystemCanHold_data();
    void shouldReadTheQuestionsTheSystemCanHold();
    void shouldRefuseABrokenFileWhole_data();
    void shouldRefuseABrokenFileWhole();
    void shouldKeepMoodlePicturesAndFeedback();
    void shouldSayWhyAQuestionIsSkipped();
};

void TestQuestionReaders::shouldReadTheQuestionsTheSystemCanHold_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QStringList>("explanations");
    QTest::addColumn<QList<int>>("skipped");

    QTest::newRow("Aiken, A. and A) options, eight options skipped")
        << dataFile("aiken.txt")
        << QStringList{"中国的首都是哪座城市?\nA. 上海\nB. 北京\nC. 广州\nD. 南京",
                       "Which planet is known as the red planet?\nA. Venus\nB. Mars\nC. Jupiter",
                       "下列哪些是质数?(多选)\nA. 2\nB. 4\nC. 5\nD. 9"}
        << QStringList{"2", "2", "13"} << QStringList{"", "", ""} << QStringList{"", "", ""}
        << QList<int>{14};
    QTest::newRow("GIFT with byte order mark, comments, category, escapes, true/false")
        << dataFile("gift.txt")
        << QStringList{"《静夜思》的作者是\nA. 李白\nB. 杜甫\nC. 白居易",
                       "下列属于哺乳动物的是\nA. 鲸\nB. 蝙蝠\nC. 鲨鱼\nD. 企鹅",
                       "地球绕太阳转一圈约需一年。\nA. 是\nB. 非",
                       "太阳从西边升起。\nA. 是\nB. 非",
                       "数学符号 { } 叫作 _____ 。\nA. 花括号\nB. 方括号\nC. 圆括号",
                       "比例 1:2 中的 = 和 ~ 与 # 都要转义:\nA. 对\nB. 错"}
        << QStringList{"1", "12", "1", "2", "1", "1"} << QStringList{"", "", "", "", "", ""}
        << QStringList{"床前明月光,疑是地上霜。", "", "", "地球自西向东自转。", "", ""}
        << QList<int>{27, 29, 31, 33, 35, 37};
    QTest::newRow("GIFT in GB18030")
        << dataFile("gift-gb18030.gift")
        << QStringList{"谢娅祎同学的学号是\nA. 1001\nB. 1002\nC. 1003"} << QStringList{"1"}
        << QStringList{""} << QStringList{""} << QList<int>{};
    QTest::newRow("Moodle XML, HTML and plain texts, true/false, marks")
        << dataFile("moodle.xml")
        << QStringList{"图中的颜色是什么?\n\nA. 绿色\nB. 红色\nC. 粉红色",
                       "下列哪些数是偶数?\nA. 2\nB. 3\nC. 4 & 更多",
                       "水在 100 ℃ 沸腾(标准大气压下)。\nA. 是\nB. 非"}
        << QStringList{"2", "13", "2"} << QStringList{"2", "3", "1.5"}
        << QStringList{"这是红色。", "", ""} << QList<int>{36, 49};
}

void TestQuestionReaders::shouldReadTheQuestionsTheSystemCanHold()
{
    QFETCH(QString, file);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, marks);
    QFETCH(QStringList, explanations);
    QFETCH(QList<int>, skipped);

    const ReadResult result = readQuestionFile(file);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QStringList readTexts, readAnswers, readMarks, readExplanations;
    for (const InterchangeQuestion &q : result.questions) {
        readTexts << rtf::rtfPlainText(q.questionRtf).trimmed();
        readAnswers << q.answer;
        readMarks << q.mark;
        readExplanations << rtf::rtfPlainText(q.explanationRtf).trimmed();
    }
    QCOMPARE(readTexts, texts);
    QCOMPARE(readAnswers, answers);
    QCOMPARE(readMarks, marks);
    QCOMPARE(readExplanations, explanations);
    QCOMPARE(skippedLines(result), skipped);
}

void TestQuestionReaders::shouldRefuseABrokenFileWhole_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("Aiken question without ANSWER:")
        << dataFile("aiken-missing-answer.txt") << 6 << "题目缺少“ANSWER:”行";
    QTest::newRow("Aiken answer that names no option")
        << dataFile("aiken-wrong-letter.txt") << 4 << "答案“D”不是该题的选项";
    QTest::newRow("GIFT brace never closed")
        << dataFile("gift-unclosed.gift") << 3 << "“{”没有对应的“}”";
    QTest::newRow("GIFT answer without = or ~")
        << dataFile("gift-no-marker.gift") << 3 << "“{”后面的答案应以“=”或“~”开始";
    QTest::newRow("Moodle XML picture with bad base64")
        << dataFile("moodle-bad-base64.xml") << 6 << "文件“a.png”的 base64 数据有误";
    QTest::newRow("Moodle XML element never closed")
        << dataFile("moodle-broken.xml") << 6 << "XML 格式错误";
    QTest::newRow("missing file") << dataFile("no-such-file.txt") << 0 << "无法打开文件";
}

void TestQuestionReaders::shouldRefuseABrokenFileWhole()
{
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(QString, error);

    const ReadResult result = readQuestionFile(file);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
    QCOMPARE(result.errorLine, line);
    QVERIFY(result.questions.isEmpty());
}

void TestQuestionReaders::shouldKeepMoodlePicturesAndFeedback()
{
    const ReadResult result = readQuestionFile(dataFile("moodle.xml"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.questions.size(), 3);
    const QByteArray &rtf = result.questions.at(0).questionRtf;
    QCOMPARE(rtf.count("{\\pict\\pngblip\\picw12\\pich8"), 1);
    QVERIFY(result.questions.at(0).explanationRtf.contains("\\i"));
}

void TestQuestionReaders::shouldSayWhyAQuestionIsSkipped()
{
    const ReadResult gift = readQuestionFile(dataFile("gift.txt"));
    QCOMPARE(gift.skipped.value(0).reason, "题型“填空题”不能导入,本系统只有选择题和判断题");
    QCOMPARE(gift.skipped.value(4).reason, "有 8 个选项,本系统的考题最多 7 个选项");
    const ReadResult moodle = readQuestionFile(dataFile("moodle.xml"));
    QCOMPARE(moodle.skipped.value(1).reason, "题型“cloze”不能导入,本系统只有选择题和判断题");
}

QTEST_MAIN(TestQuestionReaders)
#include "tst_question_readers.moc"
