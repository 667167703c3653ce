// The plain text of an RTF file, as the editor's grid and the question bank list show it.
#include "rtf.h"

#include <QFile>
#include <QTest>
#include <QTextDocument>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(EXAM_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

} // namespace

class TestRtfPlainText : public QObject
{
    Q_OBJECT

private slots:
    // Without tables the fast path must agree with the full reader.
    void shouldAgreeWithTheDocumentReader_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("WordPad") << QStringLiteral("wordpad_explanation.rtf");
        QTest::newRow("code pages") << QStringLiteral("charsets.rtf");
    }

    void shouldAgreeWithTheDocumentReader()
    {
        QFETCH(QString, file);
        const QByteArray rtf = fixture(file);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(rtf, &doc));
        QCOMPARE(rtf::rtfPlainText(rtf), doc.toPlainText());
    }

    void shouldGiveTheVisibleText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const char *rtf, const QString &text) {
            QTest::newRow(name) << QByteArray(rtf) << text;
        };
        row("paragraphs", "{\\rtf1 a\\par b\\par}", QStringLiteral("a\nb"));
        row("empty paragraphs are kept", "{\\rtf1 \\par a\\par\\par b}",
            QStringLiteral("\na\n\nb"));
        row("line break", "{\\rtf1 a\\line b}", QStringLiteral("a\nb"));
        row("table cells and rows",
            "{\\rtf1\\trowd\\cellx1\\cellx2\\intbl a\\cell b\\cell\\row\\intbl "
            "c\\cell\\cell\\row\\pard d}",
            QStringLiteral("a\tb\nc\t\nd"));
        row("paragraph inside a cell", "{\\rtf1\\intbl a\\par b\\cell c\\cell\\row}",
            QStringLiteral("a\nb\tc"));
        row("pictures and hidden text", "{\\rtf1 a{\\pict\\pngblip 89504e47}{\\v b}c}",
            QStringLiteral("ac"));
        row("code page bytes", "{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}",
            QStringLiteral("中文"));
        row("unicode with fallback", "{\\rtf1\\uc1\\u20013?\\u25991?}", QStringLiteral("中文"));
        row("font table is not text",
            "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}x}",
            QStringLiteral("x"));
        row("not rtf", "plain words", QString());
    }

    void shouldGiveTheVisibleText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(rtf::rtfPlainText(rtf), text);
    }

    void shouldListTableCellsOfRealFiles()
    {
        const QString text = rtf::rtfPlainText(fixture(QStringLiteral("richedit_question.rtf")));
        QVERIFY2(text.contains(QStringLiteral("选项\t说明\nA\t正确答案\nEnd of question.")),
                 qPrintable(text));
        QVERIFY(text.startsWith(QStringLiteral("第一题：单项选择\n")));
        QVERIFY(!text.contains(QStringLiteral("89504e47"), Qt::CaseInsensitive));
    }
};

QTEST_MAIN(TestRtfPlainText)
#include "tst_rtfplaintext.moc"
