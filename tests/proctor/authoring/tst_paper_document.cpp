#include "paper_document_fixture.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/paper_document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace exam;
using namespace document_test;

namespace {

QTextDocument *loadTemplate(QTextDocument *document, const QByteArray &rtf = {})
{
    QByteArray bytes = rtf;
    if (bytes.isEmpty()) {
        QFile file(QStringLiteral(EXAM_TEMPLATES_DIR "/paper.dot"));
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    return rtf::readRtf(bytes, document) ? document : nullptr;
}

std::unique_ptr<QTextDocument> textDocument(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor(document.get()).insertText(text);
    return document;
}

QTextBlock blockContaining(const QTextDocument &document, const QString &text, int occurrence = 1)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text().contains(text) && --occurrence == 0)
            return block;
    }
    return {};
}

} // namespace

class TestPaperDocument : public QObject
{
    Q_OBJECT

private slots:
    void shouldFillTheCover();
    void shouldSkipCoverPlaceholdersTheTemplateLacks();
    void shouldRepeatTheQuestionBlockWithItsFormats_data();
    void shouldRepeatTheQuestionBlockWithItsFormats();
    void shouldFillTheBlocksInQuestionOrder();
    void shouldNeverTakeQuestionTextForAPlaceholder();
    void shouldKeepThePicturesOfEveryQuestionApart();
    void shouldRepeatAnAnswerKeyWhereverTheTemplatePutsIt_data();
    void shouldRepeatAnAnswerKeyWhereverTheTemplatePutsIt();
    void shouldRefuseATemplateWithoutQuestionBlock_data();
    void shouldRefuseATemplateWithoutQuestionBlock();
};

void TestPaperDocument::shouldFillTheCover()
{
    QTextDocument document;
    QVERIFY(loadTemplate(&document));
    PaperDocumentFiller filler(document);
    filler.fillCover({QStringLiteral("期中考试"), QStringLiteral("王老师"), QStringLiteral("45"),
                      QStringLiteral("3"), QStringLiteral("100")});
    const QString text = document.toPlainText();
    QString missing;
    QVERIFY2(inOrder(text,
                     {QStringLiteral("期中考试"), QStringLiteral("命题人：王老师"),
                      QStringLiteral("考试时间：45 分钟"), QStringLiteral("题量：3 题"),
                      QStringLiteral("满分：100 分")},
                     &missing),
             qPrintable(missing));
    for (const char *placeholder :
         {"[PAPER NAME]", "[AUTHOR]", "[TESTTIME]", "[QUESTION_COUNT]", "[FULLMARK]"})
        QVERIFY(!text.contains(QLatin1String(placeholder)));
    // The value takes the placeholder's format: the paper name stays bold.
    const QTextBlock title = blockContaining(document, QStringLiteral("期中考试"));
    QCOMPARE(title.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
}

void TestPaperDocument::shouldSkipCoverPlaceholdersTheTemplateLacks()
{
    QTextDocument document;
    QVERIFY(loadTemplate(&document, "{\\rtf1\\ansi Title [PAPER NAME]\\par Time [TESTTIME]\\par}"));
    PaperDocumentFiller filler(document);
    filler.fillCover({QStringLiteral("P"), QStringLiteral("AUTHOR-VALUE"), QStringLiteral("30"),
                      QStringLiteral("COUNT-VALUE"), QStringLiteral("MARK-VALUE")});
    const QString text = document.toPlainText();
    QCOMPARE(text.trimmed(), QStringLiteral("Title P\nTime 30"));
    QVERIFY(!text.contains(QStringLiteral("VALUE")));
}

void TestPaperDocument::shouldRepeatTheQuestionBlockWithItsFormats_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
    QTest::newRow("a hundred") << 100;
}

void TestPaperDocument::shouldRepeatTheQuestionBlockWithItsFormats()
{
    QFETCH(int, count);
    QTextDocument document;
    QVERIFY(loadTemplate(&document));
    const QTextBlock head = blockContaining(document, QStringLiteral("[QUESTION No]"));
    const QTextBlockFormat headFormat = head.blockFormat();
    const QTextBlockFormat bodyFormat = head.next().blockFormat();
    const QTextBlock key = blockContaining(document, QStringLiteral("参考答案"));
    const QTextBlockFormat keyFormat = key.blockFormat();
    const int before = document.blockCount();

    PaperDocumentFiller filler(document);
    QVERIFY(filler.repeatQuestionBlock(count));
    QCOMPARE(document.blockCount(), before + 2 * (count - 1));
    QCOMPARE(document.toPlainText().count(QStringLiteral("[QUESTION No]")), count);
    QCOMPARE(document.toPlainText().count(QStringLiteral("第[QUESTION]")), count);
    for (int i = 1; i <= count; ++i) {
        const QTextBlock copy = blockContaining(document, QStringLiteral("[QUESTION No]"), i);
        QCOMPARE(copy.blockFormat(), headFormat);
        QVERIFY(copy.next().text().contains(QStringLiteral("第[QUESTION]")));
        QCOMPARE(copy.next().blockFormat(), bodyFormat);
    }
    // The paragraphs around the block keep theirs.
    QCOMPARE(blockContaining(document, QStringLiteral("参考答案")).blockFormat(), keyFormat);
    QVERIFY(blockContaining(document, QStringLiteral("一、选择题")).isValid());
}

void TestPaperDocument::shouldFillTheBlocksInQuestionOrder()
{
    QTextDocument document;
    QVERIFY(loadTemplate(&document));
    PaperDocumentFiller filler(document);
    QVERIFY(filler.repeatQuestionBlock(3));
    const auto q1 = textDocument(questionText(1));
    const auto e1 = textDocument(explanationText(1));
    const auto q3 = textDocument(questionText(3));
    filler.fillNextQuestion(1, QStringLiteral("5"), q1.get(), e1.get());
    filler.fillNextQuestion(2, QStringLiteral("10"), nullptr, nullptr);
    filler.fillNextQuestion(3, QStringLiteral("5"), q3.get(), nullptr);
    QVERIFY(filler.repeatAnswerBlock(3));
    filler.fillNextAnswer(1, QStringLiteral("13"));
    filler.fillNextAnswer(2, QString::fromUtf16(NoAnswerText));
    filler.fillNextAnswer(3, QStringLiteral("2"));

    const QString text = document.toPlainText();
    QString missing;
    QVERIFY2(inOrder(text,
                     {QStringLiteral("第1题（本题 5 分）"), questionText(1), explanationText(1),
                      QStringLiteral("第2题（本题 10 分）"), QStringLiteral("第3题（本题 5 分）"),
                      questionText(3), QStringLiteral("参考答案"), QStringLiteral("第1题：13"),
                      QStringLiteral("第2题：[no answer]"), QStringLiteral("第3题：2")},
                     &missing),
             qPrintable(missing));
    // The explanation is a paragraph of its own after the question.
    QVERIFY(text.contains(questionText(1) + u'\n' + explanationText(1)));
    for (const char *placeholder : {"[QUESTION No]", "[MARK]", "[QUESTION]", "[ANSWER No]", "[OP]"})
        QVERIFY2(!text.contains(QLatin1String(placeholder)), placeholder);
}

void TestPaperDocument::shouldNeverTakeQuestionTextForAPlaceholder()
{
    QTextDocument document;
    QVERIFY(loadTemplate(&document));
    PaperDocumentFiller filler(document);
    QVERIFY(filler.repeatQuestionBlock(2));
    const QString tricky =
        QStringLiteral("模板里的 [MARK]、[QUESTION No]、[QUESTION]、[ANSWER No] 和 [OP] 是什么?");
    const auto q1 = textDocument(tricky);
    const auto q2 = textDocument(questionText(2));
    filler.fillNextQuestion(1, QStringLiteral("4"), q1.get(), nullptr);
    filler.fillNextQuestion(2, QStringLiteral("6"), q2.get(), nullptr);
    QVERIFY(filler.repeatAnswerBlock(2));
    filler.fillNextAnswer(1, QStringLiteral("1"));
    filler.fillNextAnswer(2, QStringLiteral("2"));
    const QString text = document.toPlainText();
    QString missing;
    QVERIFY2(
        inOrder(text,
                {QStringLiteral("第1题（本题 4 分）"), tricky, QStringLiteral("第2题（本题 6 分）"),
                 questionText(2), QStringLiteral("第1题：1"), QStringLiteral("第2题：2")},
                &missing),
        qPrintable(missing));
}

void TestPaperDocument::shouldKeepThePicturesOfEveryQuestionApart()
{
    // Every question file numbers its pictures from 1; red and blue must both survive.
    QTemporaryDir folder;
    const QString red = folder.filePath(QStringLiteral("red.rtf"));
    const QString blue = folder.filePath(QStringLiteral("blue.rtf"));
    QVERIFY(writeRtfFile(red, QStringLiteral("红"), Qt::red));
    QVERIFY(writeRtfFile(blue, QStringLiteral("蓝"), Qt::blue));
    QTextDocument q1;
    QTextDocument q2;
    QVERIFY(rtf::loadRtfFile(red, &q1));
    QVERIFY(rtf::loadRtfFile(blue, &q2));

    QTextDocument document;
    QVERIFY(loadTemplate(&document));
    PaperDocumentFiller filler(document);
    QVERIFY(filler.repeatQuestionBlock(2));
    filler.fillNextQuestion(1, QStringLiteral("5"), &q1, nullptr);
    filler.fillNextQuestion(2, QStringLiteral("5"), &q2, nullptr);

    // Written and read back, as the teacher's word processor gets it.
    QTextDocument saved;
    QVERIFY(rtf::readRtf(rtf::writeRtf(document), &saved));
    QList<QColor> colours;
    for (QTextBlock block = saved.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            QImage image;
            const QVariant data =
                saved.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
            image.loadFromData(data.toByteArray());
            colours << image.pixelColor(0, 0);
        }
    }
    QCOMPARE(colours, (QList<QColor>{QColor(Qt::red), QColor(Qt::blue)}));
}

void TestPaperDocument::shouldRepeatAnAnswerKeyWhereverTheTemplatePutsIt_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    const QByteArray block = "\\pard Q[QUESTION No] [MARK]\\par \\pard X\\'b5\\'da[QUESTION]\\par ";
    QTest::newRow("key last") << "{\\rtf1\\ansi\\ansicpg936 " + block + "\\pard A[ANSWER No]=[OP]}"
                              << 2 << "Q1 5\nX第\nQ2 5\nX第\nA1=11\nA2=12";
    QTest::newRow("key first") << "{\\rtf1\\ansi\\ansicpg936 \\pard A[ANSWER No]=[OP]\\par " +
                                      block + "}"
                               << 2 << "A1=11\nA2=12\nQ1 5\nX第\nQ2 5\nX第\n";
    QTest::newRow("no questions, key last")
        << "{\\rtf1\\ansi\\ansicpg936 T\\par " + block + "\\pard A[ANSWER No]=[OP]}" << 0 << "T";
    QTest::newRow("no key") << "{\\rtf1\\ansi\\ansicpg936 " + block + "\\pard End}" << 1
                            << "Q1 5\nX第\nEnd";
}

void TestPaperDocument::shouldRepeatAnAnswerKeyWhereverTheTemplatePutsIt()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QTextDocument document;
    QVERIFY(loadTemplate(&document, rtf));
    PaperDocumentFiller filler(document);
    QVERIFY(filler.repeatQuestionBlock(count));
    for (int i = 1; i <= count; ++i)
        filler.fillNextQuestion(i, QStringLiteral("5"), nullptr, nullptr);
    const bool hasKey = rtf.contains("[ANSWER No]");
    QCOMPARE(filler.repeatAnswerBlock(count), hasKey);
    for (int i = 1; i <= count; ++i)
        filler.fillNextAnswer(i, QString::number(10 + i));
    QCOMPARE(document.toPlainText().trimmed(), expected.trimmed());
}

void TestPaperDocument::shouldRefuseATemplateWithoutQuestionBlock_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("no block") << QByteArray("{\\rtf1\\ansi [PAPER NAME]\\par [ANSWER No] [OP]}");
    QTest::newRow("no end marker")
        << QByteArray("{\\rtf1\\ansi [QUESTION No] [MARK]\\par [QUESTION]}");
    QTest::newRow("end before start")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'b5\\'da[QUESTION]\\par [QUESTION No]}");
}

void TestPaperDocument::shouldRefuseATemplateWithoutQuestionBlock()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    QVERIFY(loadTemplate(&document, rtf));
    const QString before = document.toPlainText();
    PaperDocumentFiller filler(document);
    QVERIFY(!filler.repeatQuestionBlock(3));
    QCOMPARE(document.toPlainText(), before);
}

QTEST_MAIN(TestPaperDocument)
#include "tst_paper_document.moc"
