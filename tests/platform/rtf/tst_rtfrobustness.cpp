// Damaged and hostile RTF: the reader must end, keep memory in proportion and recover the text.
#include "rtf.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(EXAM_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

QString readText(const QByteArray &rtf)
{
    QTextDocument doc;
    if (!rtf::readRtf(rtf, &doc))
        return QStringLiteral("<not rtf>");
    return doc.toPlainText();
}

int cellCount(const QTextDocument &doc)
{
    int cells = 0;
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            cells += table->rows() * table->columns();
    }
    return cells;
}

// Each of the three ways into the codec on the same input.
void exercise(const QByteArray &rtf)
{
    QTextDocument doc;
    if (rtf::readRtf(rtf, &doc)) {
        QTextDocument again;
        QVERIFY(rtf::readRtf(rtf::writeRtf(doc), &again));
        QCOMPARE(again.toPlainText(), doc.toPlainText());
    }
    rtf::rtfPlainText(rtf);
}

} // namespace

class TestRtfRobustness : public QObject
{
    Q_OBJECT

private slots:
    void shouldRecoverTextFromDamagedStructure_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const QByteArray deep(100000, '{');
        const QByteArray deepClose(100000, '}');
        QTest::newRow("100000 nested groups")
            << "{\\rtf1 a" + deep + "b" + deepClose + "c}" << QStringLiteral("abc");
        QTest::newRow("100000 unclosed groups")
            << "{\\rtf1 a" + deep + "\\b b" << QStringLiteral("ab");
        QTest::newRow("missing final brace")
            << QByteArray("{\\rtf1 a\\par b") << QStringLiteral("a\nb");
        QTest::newRow("\\bin longer than the file")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz") << QStringLiteral("a");
        QTest::newRow("\\bin in text")
            << QByteArray("{\\rtf1 a\\bin3 {{{b}") << QStringLiteral("ab");
        QTest::newRow("negative \\bin")
            << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
        QTest::newRow("chain of broken escapes")
            << QByteArray("{\\rtf1 a\\'\\'\\'x}") << QStringLiteral("ax");
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\ansicpg99999999999\\deff-99999999999{\\fonttbl{"
                          "\\f99999999999\\fcharset-1 X;}}"
                          "\\f99999999999\\fs-5\\li99999999999\\fi-99999999999\\sl-"
                          "99999999999\\uc99999999999 a\\u99999999999 b}")
            << QStringLiteral("a\uFFFD");
        QTest::newRow("unknown code page")
            << QByteArray("{\\rtf1\\ansicpg12345 \\'e9}") << QStringLiteral("é");
        QTest::newRow("picture in a font table")
            << QByteArray("{\\rtf1{\\fonttbl{\\pict 00}}x}") << QStringLiteral("x");
        QTest::newRow("colour table without entries")
            << QByteArray("{\\rtf1{\\colortbl}\\cf5 x}") << QStringLiteral("x");
        QTest::newRow("lone lead byte")
            << QByteArray("{\\rtf1\\ansicpg936 \\'d6\\par x}") << QStringLiteral("\nx");
        QTest::newRow("nested pictures")
            << QByteArray("{\\rtf1{\\pict{\\pict 00}00}x}") << QStringLiteral("x");
        QTest::newRow("star before text") << QByteArray("{\\rtf1{\\* x}y}") << QStringLiteral("y");
    }

    void shouldRecoverTextFromDamagedStructure()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
        QCOMPARE(rtf::rtfPlainText(rtf), text);
    }

    void shouldReadEveryTruncationOfRealFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("step");
        QTest::newRow("rich-text control") << QStringLiteral("richedit_question.rtf") << 1;
        QTest::newRow("WordPad") << QStringLiteral("wordpad_explanation.rtf") << 1;
        QTest::newRow("Word") << QStringLiteral("word_question.rtf") << 3;
        QTest::newRow("LibreOffice") << QStringLiteral("libreoffice_question.rtf") << 11;
    }

    void shouldReadEveryTruncationOfRealFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, step);
        const QByteArray rtf = fixture(file);
        const QString full = rtf::rtfPlainText(rtf);
        for (qsizetype n = 5; n <= rtf.size(); n += step) {
            const QByteArray part = rtf.left(n);
            QTextDocument doc;
            QVERIFY(rtf::readRtf(part, &doc));
            // Nothing is invented: what a truncated file shows fits in the full text, but for its
            // last character, which may be half of an escape.
            QString text = rtf::rtfPlainText(part);
            text.chop(1);
            QVERIFY2(full.startsWith(text) || text.contains(QChar(0xFFFD)) || text.endsWith(u'\n'),
                     qPrintable(QStringLiteral("%1 bytes: %2").arg(n).arg(text)));
        }
    }

    void shouldBoundTablesMadeFromFewBytes()
    {
        QByteArray rtf = "{\\rtf1\\trowd";
        for (int i = 0; i < 1000; ++i)
            rtf += "\\cellx1";
        rtf += "\\intbl ";
        for (int i = 0; i < 5000; ++i)
            rtf += "a\\cell\\row ";
        rtf += "}";
        QTextDocument doc;
        QVERIFY(rtf::readRtf(rtf, &doc));
        QVERIFY(cellCount(doc) > 0);
        QVERIFY(cellCount(doc) <= 20000);
        QCOMPARE(doc.toPlainText().count(u'a'), 5000);
    }

    void shouldKeepAllCellTextOfOverlongRows()
    {
        QByteArray rtf = "{\\rtf1\\intbl ";
        for (int i = 0; i < 100; ++i)
            rtf += "x\\cell ";
        rtf += "\\row}";
        QTextDocument doc;
        QVERIFY(rtf::readRtf(rtf, &doc));
        QCOMPARE(doc.toPlainText().count(u'x'), 100);
        QVERIFY(cellCount(doc) <= 63);
    }

    void shouldSurviveRandomTokenSoup()
    {
        // Deterministic soup of the tokens that matter most to the reader's state.
        static const char *const pieces[] = {"{",
                                             "}",
                                             "{\\*",
                                             "\\par",
                                             "\\pard",
                                             "\\plain",
                                             "\\b",
                                             "\\i0",
                                             "\\fs",
                                             "\\f",
                                             "\\cf",
                                             "\\uc",
                                             "\\u-",
                                             "\\'",
                                             "d6",
                                             "\\bin",
                                             "5",
                                             "99999999999",
                                             " ",
                                             "text",
                                             "中",
                                             "\\pict",
                                             "\\pngblip",
                                             "\\fonttbl",
                                             "\\colortbl",
                                             "\\red",
                                             ";",
                                             "\\intbl",
                                             "\\cell",
                                             "\\row",
                                             "\\trowd",
                                             "\\cellx",
                                             "\\upr",
                                             "\\ud",
                                             "\\field",
                                             "\\fldrslt",
                                             "\\v",
                                             "\\dbch",
                                             "\\af",
                                             "\\\\",
                                             "\\line",
                                             "\\tab",
                                             "89504e470d0a1a0a",
                                             "\\picwgoal",
                                             "\\sl",
                                             "\\slmult",
                                             "\\li",
                                             "-",
                                             "\r\n",
                                             "\\",
                                             "\\~"};
        QRandomGenerator random(20240607);
        for (int sample = 0; sample < 2000; ++sample) {
            QByteArray rtf = "{\\rtf1";
            const int length = random.bounded(1, 80);
            for (int i = 0; i < length; ++i)
                rtf += pieces[random.bounded(int(std::size(pieces)))];
            exercise(rtf);
            if (QTest::currentTestFailed())
                QFAIL(rtf.constData());
        }
    }

    // Inputs found by the fuzzer that once went wrong stay here as regression cases.
    void shouldReadFuzzerFindings_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir(QStringLiteral(EXAM_TEST_DATA_DIR "/fuzz"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << dir.filePath(file);
    }

    void shouldReadFuzzerFindings()
    {
        QFETCH(QString, file);
        QFile input(file);
        QVERIFY(input.open(QIODevice::ReadOnly));
        exercise(input.readAll());
    }
};

QTEST_MAIN(TestRtfRobustness)
#include "tst_rtfrobustness.moc"
