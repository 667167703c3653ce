// Reading RTF into a QTextDocument: files as real writers save them, and the RTF features
// question files use.
#include "rtf.h"

#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(EXAM_TEST_DATA_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

// Format of the last character of the first occurrence of `text`.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    return found.charFormat();
}

QTextBlock blockOf(const QTextDocument &doc, const QString &text)
{
    return doc.find(text).block();
}

QTextTable *firstTable(const QTextDocument &doc)
{
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

QString family(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

QList<QTextImageFormat> images(const QTextDocument &doc)
{
    QList<QTextImageFormat> result;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                result.append(it.fragment().charFormat().toImageFormat());
        }
    }
    return result;
}

QString readText(const QByteArray &rtf)
{
    QTextDocument doc;
    if (!readRtf(rtf, &doc))
        return QStringLiteral("<not rtf>");
    // Raw text keeps line separators and non-breaking spaces apart from paragraph ends and blanks.
    return doc.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadRichEditQuestionWithCodePageBytes()
    {
        QTextDocument doc;
        QVERIFY(readRtf(fixture("richedit_question.rtf"), &doc));

        const QTextBlock title = blockOf(doc, QStringLiteral("第一题：单项选择"));
        QVERIFY(title.isValid());
        QCOMPARE(title.text(), QStringLiteral("第一题：单项选择"));
        QCOMPARE(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QTextCharFormat titleFormat = formatOf(doc, QStringLiteral("单项选择"));
        QCOMPARE(family(titleFormat), QStringLiteral("黑体"));
        QCOMPARE(titleFormat.fontPointSize(), 16.0);
        QCOMPARE(titleFormat.fontWeight(), int(QFont::Bold));

        const QTextBlock question = blockOf(doc, QStringLiteral("哪一个是中国的首都"));
        QCOMPARE(question.blockFormat().leftMargin(), 420 / 15.0);
        QCOMPARE(family(formatOf(doc, QStringLiteral("首都"))), QStringLiteral("宋体"));

        QCOMPARE(formatOf(doc, QStringLiteral("北京")).foreground().color(), QColor(255, 0, 0));
        QVERIFY(formatOf(doc, QStringLiteral("上海")).fontItalic());
        QVERIFY(formatOf(doc, QStringLiteral("广州")).fontUnderline());
        QVERIFY(!formatOf(doc, QStringLiteral("广州")).fontItalic());
        const QTextCharFormat latin = formatOf(doc, QStringLiteral("Shenzhen"));
        QCOMPARE(family(latin), QStringLiteral("Arial"));
        QCOMPARE(latin.foreground().color(), QColor(0, 0, 255));
        QCOMPARE(blockOf(doc, QStringLiteral("北京")).text(),
                 QStringLiteral("A. 北京\tB. 上海\tC. 广州\tD. Shenzhen"));

        // \uc1\uN? characters outside the code page, without their '?' fallback
        const QTextBlock price = blockOf(doc, QStringLiteral("价格"));
        QCOMPARE(price.text(), QStringLiteral("价格 €5★"));
        QCOMPARE(price.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(formatOf(doc, QStringLiteral("价格")).fontPointSize(), 9.0);

        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), 720 / 15.0);
        QCOMPARE(pictures.first().height(), 480 / 15.0);
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(pictures.first().name()));
        QImage image;
        QVERIFY(image.loadFromData(resource.toByteArray()));
        QCOMPARE(image.size(), QSize(24, 16));
        QCOMPARE(image.pixelColor(3, 3), QColor(255, 0, 0));

        QTextTable *table = firstTable(doc);
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(cellText(table, 0, 0), QStringLiteral("选项"));
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("说明"));
        QCOMPARE(cellText(table, 1, 0), QStringLiteral("A"));
        QCOMPARE(cellText(table, 1, 1), QStringLiteral("正确答案"));

        // Text after the table is outside it, and the final \par adds no empty paragraph.
        const QTextBlock last = doc.lastBlock();
        QCOMPARE(last.text(), QStringLiteral("End of question."));
        QVERIFY(!QTextCursor(last).currentTable());
        QCOMPARE(formatOf(doc, QStringLiteral("End")).fontPointSize(), 10.0);
    }

    void shouldReadWordPadUnicodeWithoutDuplicatingFallbacks()
    {
        QTextDocument doc;
        QVERIFY(readRtf(fixture("wordpad_explanation.rtf"), &doc));
        QCOMPARE(doc.toPlainText(),
                 QStringLiteral("解题辅导：正确答案是 A。\n北京是中华人民共和国的首都。"));
        const QTextCharFormat first = formatOf(doc, QStringLiteral("解题辅导"));
        QCOMPARE(first.foreground().color(), QColor(0, 128, 0));
        QCOMPARE(first.fontPointSize(), 14.0);
        QCOMPARE(formatOf(doc, QStringLiteral("首都")).fontPointSize(), 12.0);
        QVERIFY(formatOf(doc, QStringLiteral("首都")).foreground().style() == Qt::NoBrush);
    }

    void shouldDecodeBytesInTheFontsCodePage_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("text");
        QTest::newRow("Big5 (fcharset136)") << 0 << QStringLiteral("繁體中文");
        QTest::newRow("Shift-JIS (fcharset128)") << 1 << QStringLiteral("日本語");
        QTest::newRow("Windows-1252 (fcharset0)") << 2 << QStringLiteral("café €");
        QTest::newRow("GB (fcharset134)") << 3 << QStringLiteral("简体");
    }

    void shouldDecodeBytesInTheFontsCodePage()
    {
        QFETCH(int, block);
        QFETCH(QString, text);
        QTextDocument doc;
        QVERIFY(readRtf(fixture("charsets.rtf"), &doc));
        QCOMPARE(doc.findBlockByNumber(block).text(), text);
    }

    void shouldReadLibreOfficeDocument()
    {
        QTextDocument doc;
        QVERIFY(readRtf(fixture("libreoffice_question.rtf"), &doc));

        const QTextBlock title = blockOf(doc, QStringLiteral("第二题：多项选择"));
        QVERIFY(title.isValid());
        QCOMPARE(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QTextCharFormat titleFormat = formatOf(doc, QStringLiteral("多项选择"));
        QCOMPARE(titleFormat.fontPointSize(), 16.0); // \dbch\afs32
        QCOMPARE(titleFormat.fontWeight(), int(QFont::Bold)); // \dbch\ab
        QCOMPARE(family(titleFormat), QStringLiteral("Noto Sans CJK SC")); // \dbch\af6

        QCOMPARE(blockOf(doc, QStringLiteral("长江")).text(), QStringLiteral("下列哪些是长江流经的省份？"));
        QCOMPARE(blockOf(doc, QStringLiteral("长江")).blockFormat().leftMargin(), 567 / 15.0);
        QCOMPARE(formatOf(doc, QStringLiteral("长江")).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(family(formatOf(doc, QStringLiteral("流经"))), QStringLiteral("Noto Serif CJK SC"));
        QVERIFY(formatOf(doc, QStringLiteral("四川")).fontItalic());
        QVERIFY(formatOf(doc, QStringLiteral("湖北")).fontUnderline());
        QVERIFY(formatOf(doc, QStringLiteral("河北")).fontStrikeOut());
        QCOMPARE(formatOf(doc, QStringLiteral("H2")).verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatOf(doc, QStringLiteral("x2")).verticalAlignment(), QTextCharFormat::AlignSuperScript);

        const QTextBlock mark = blockOf(doc, QStringLiteral("分值"));
        QCOMPARE(mark.text(), QStringLiteral("分值：2 分"));
        QCOMPARE(mark.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(formatOf(doc, QStringLiteral("分值")).foreground().color(), QColor(0, 0, 255));
        QCOMPARE(formatOf(doc, QStringLiteral("分值")).fontPointSize(), 10.0);

        // The picture is kept once (shppict), not twice (nonshppict), scaled by \picscalex200.
        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), 48.0);
        QCOMPARE(pictures.first().height(), 32.0);

        QTextTable *table = firstTable(doc);
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("简称"));
        QCOMPARE(cellText(table, 1, 0), QStringLiteral("四川"));
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("结束。"));
        QVERIFY(!doc.toPlainText().contains(QStringLiteral("Normal")));   // stylesheet skipped
        QVERIFY(!doc.toPlainText().contains(QStringLiteral("Default Page"))); // \*\pgdsctbl skipped
    }

    void shouldReadWordDocument()
    {
        QTextDocument doc;
        QVERIFY(readRtf(fixture("word_question.rtf"), &doc));
        // Header, theme data, info and the field instruction stay hidden; the hyperlink shows its text.
        QCOMPARE(doc.toPlainText(), QStringLiteral("第四题：填空\n请访问教学网站，答案写在____处。\n\uFFFC"));
        QCOMPARE(doc.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QTextCharFormat title = formatOf(doc, QStringLiteral("填空"));
        QCOMPARE(title.fontPointSize(), 14.0);
        QCOMPARE(title.fontWeight(), int(QFont::Bold));
        QCOMPARE(family(title), QStringLiteral("宋体")); // the \ud copy of the font table
        QCOMPARE(doc.findBlockByNumber(1).blockFormat().textIndent(), 28.0);
        const QTextCharFormat link = formatOf(doc, QStringLiteral("教学网站"));
        QVERIFY(link.fontUnderline());
        QCOMPARE(link.foreground().color(), QColor(0, 112, 192));
        QCOMPARE(formatOf(doc, QStringLiteral("____")).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(doc, QStringLiteral("处")).fontPointSize(), 10.5);
        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), 32.0);
    }

    void shouldShowWhatTheRtfFeatureShows_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const char *rtf, const QString &text) {
            QTest::newRow(name) << QByteArray(rtf) << text;
        };
        row("two-byte character split over lines",
            "{\\rtf1\\ansi\\ansicpg936 \\'d6\r\n\\'d0\\'ce\\'c4}", QStringLiteral("中文"));
        row("ansicpg without font charset", "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\'ba\\'c3}",
            QStringLiteral("好"));
        row("negative \\u", "{\\rtf1 \\u-24067?}", QString(QChar(0xA1FD)));
        row("\\uc0 has no fallback", "{\\rtf1\\uc0\\u20013 x}", QStringLiteral("中x"));
        row("\\uc2 skips escapes", "{\\rtf1\\uc2\\u20013\\'d6\\'d0x}", QStringLiteral("中x"));
        row("fallback control word counts once", "{\\rtf1\\uc1\\u20013\\tab x}", QStringLiteral("中x"));
        row("fallback ends with the group", "{\\rtf1\\uc3{\\u20013}x}", QStringLiteral("中x"));
        row("\\uc is scoped to its group", "{\\rtf1{\\uc2 a}\\u20013?b}", QStringLiteral("a中b"));
        row("surrogate pair", "{\\rtf1\\uc1\\u-10179?\\u-8704?}", QStringLiteral("😀"));
        row("hidden text", "{\\rtf1 a{\\v hidden}b\\v c\\v0 d}", QStringLiteral("abd"));
        row("field shows its result",
            "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} end}",
            QStringLiteral("see link end"));
        row("unstarred field instruction", "{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", QStringLiteral("3"));
        row("unknown starred destination", "{\\rtf1 a{\\*\\unknownthing b{c}d}e}", QStringLiteral("ae"));
        row("unknown plain control word", "{\\rtf1 a\\madeupword b}", QStringLiteral("ab"));
        row("info and stylesheet", "{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}x}", QStringLiteral("x"));
        row("\\upr keeps the Unicode copy", "{\\rtf1{\\upr{ansi}{\\*\\ud{\\u20013?}}}}", QStringLiteral("中"));
        row("line, tab and page", "{\\rtf1 a\\line b\\tab c\\page d}", QStringLiteral("a\u2028b\tc\nd"));
        row("escaped specials", "{\\rtf1 \\{x\\}\\\\}", QStringLiteral("{x}\\"));
        row("binary data in a skipped group", "{\\rtf1 a{\\*\\blob\\bin4 }}{{}b}", QStringLiteral("ab"));
        row("nonshppict is skipped", "{\\rtf1 a{\\nonshppict b}c}", QStringLiteral("ac"));
        row("bad hex escape", "{\\rtf1 a\\'zzb\\'4}", QStringLiteral("azzb\u0004").remove(QChar(4)));
        row("non-breaking space and hyphens", "{\\rtf1 a\\~b\\-c\\_d}", QStringLiteral("a\u00A0bc\u2011d"));
        row("final paragraph mark", "{\\rtf1 a\\par}", QStringLiteral("a"));
        row("empty paragraph before the last mark", "{\\rtf1 a\\par\\par}", QStringLiteral("a\n"));
        row("backslash line end is a paragraph", "{\\rtf1 a\\\nb}", QStringLiteral("a\nb"));
        row("text after the document group", "{\\rtf1 a}b", QStringLiteral("a"));
        row("control characters from \\u", "{\\rtf1 a\\u21 ?b\\u9 ?c\\u-4 ?d}", QStringLiteral("ab\tcd"));
        row("typographic words", "{\\rtf1 \\lquote x\\rquote\\emdash\\bullet}", QStringLiteral("‘x’—•"));
        row("list text of older writers", "{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody}item}",
            QStringLiteral("1.\titem"));
    }

    void shouldShowWhatTheRtfFeatureShows()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    void shouldApplyCharacterFormatting_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char *name, const char *rtf, QTextFormat::Property p, const QVariant &v) {
            QTest::newRow(name) << QByteArray(rtf) << int(p) << v;
        };
        row("bold", "{\\rtf1 a\\b X}", QTextFormat::FontWeight, int(QFont::Bold));
        row("bold off", "{\\rtf1 \\b a\\b0 X}", QTextFormat::FontWeight, QVariant());
        row("plain resets", "{\\rtf1 \\i\\fs40 a\\plain X}", QTextFormat::FontPointSize, 12.0);
        row("plain resets to the document defaults", "{\\rtf1{\\*\\defchp \\fs21\\b\\par}\\fs40 a\\plain X}",
            QTextFormat::FontPointSize, 10.5);
        row("group restores", "{\\rtf1 {\\i a}X}", QTextFormat::FontItalic, QVariant());
        row("size in half points", "{\\rtf1 \\fs21 X}", QTextFormat::FontPointSize, 10.5);
        row("huge size is clamped", "{\\rtf1 \\fs99999999999 X}", QTextFormat::FontPointSize, 1638.0);
        row("strike", "{\\rtf1 \\strike X}", QTextFormat::FontStrikeOut, true);
        row("superscript", "{\\rtf1 \\super X}", QTextFormat::TextVerticalAlignment,
            int(QTextCharFormat::AlignSuperScript));
        row("subscript", "{\\rtf1 \\sub X}", QTextFormat::TextVerticalAlignment,
            int(QTextCharFormat::AlignSubScript));
        row("ulnone", "{\\rtf1 \\ul a\\ulnone X}", QTextFormat::TextUnderlineStyle, QVariant());
        row("right-to-left size is not the run's", "{\\rtf1 \\rtlch\\afs60\\ltrch\\fs20 X}",
            QTextFormat::FontPointSize, 10.0);
    }

    void shouldApplyCharacterFormatting()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, property);
        QFETCH(QVariant, value);
        QTextDocument doc;
        QVERIFY(readRtf(rtf, &doc));
        const QTextCharFormat format = formatOf(doc, QStringLiteral("X"));
        if (!value.isValid()) {
            const QVariant actual = format.property(property);
            QVERIFY2(!actual.isValid() || actual == QVariant(false) || actual == QVariant(int(QFont::Normal))
                         || actual == QVariant(int(QTextCharFormat::NoUnderline)),
                     qPrintable(actual.toString()));
        } else {
            QCOMPARE(format.property(property), value);
        }
    }

    void shouldApplyColours()
    {
        QTextDocument doc;
        QVERIFY(readRtf("{\\rtf1{\\colortbl;\\red10\\green20\\blue30;\\red300\\green0\\blue0;}"
                        "\\cf1 A\\cf0 B\\highlight2 C\\cf9 D}",
                        &doc));
        QCOMPARE(formatOf(doc, QStringLiteral("A")).foreground().color(), QColor(10, 20, 30));
        QCOMPARE(formatOf(doc, QStringLiteral("B")).foreground().style(), Qt::NoBrush);
        QCOMPARE(formatOf(doc, QStringLiteral("C")).background().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(doc, QStringLiteral("D")).foreground().style(), Qt::NoBrush); // beyond the table
    }

    void shouldApplyParagraphFormatting()
    {
        QTextDocument doc;
        QVERIFY(readRtf("{\\rtf1\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 A\\par"
                        "\\pard B\\par\\pard\\sl-300\\slmult0 C}",
                        &doc));
        const QTextBlockFormat a = doc.findBlockByNumber(0).blockFormat();
        QCOMPARE(a.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(a.leftMargin(), 48.0);
        QCOMPARE(a.rightMargin(), 24.0);
        QCOMPARE(a.textIndent(), -24.0);
        QCOMPARE(a.topMargin(), 8.0);
        QCOMPARE(a.bottomMargin(), 16.0);
        QCOMPARE(a.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(a.lineHeight(), 150.0);
        const QTextBlockFormat b = doc.findBlockByNumber(1).blockFormat();
        QCOMPARE(b.leftMargin(), 0.0);
        QCOMPARE(b.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        const QTextBlockFormat c = doc.findBlockByNumber(2).blockFormat();
        QCOMPARE(c.lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(c.lineHeight(), 20.0);
    }

    void shouldReadPictures_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QSizeF>("size");
        const QByteArray png = fixture("red_24x16.png");
        const QByteArray hex = png.toHex();
        QTest::newRow("hex with goal size")
            << "{\\rtf1{\\pict\\pngblip\\picwgoal300\\pichgoal150 " + hex + "}}" << QSizeF(20, 10);
        QTest::newRow("binary data")
            << "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}}" << QSizeF(24, 16);
        QTest::newRow("pixel size and scale")
            << "{\\rtf1{\\pict\\pngblip\\picw12\\pich8\\picscalex50\\picscaley50 " + hex + "}}" << QSizeF(6, 4);
        QTest::newRow("absurd goal is bounded")
            << "{\\rtf1{\\pict\\pngblip\\picwgoal2147483647\\pichgoal1 " + hex + "}}" << QSizeF(4096, 1);
        QTest::newRow("hex with stray characters and line ends")
            << "{\\rtf1{\\pict\\pngblip " + hex.left(20) + "\r\n zz" + hex.mid(20) + "}}" << QSizeF(24, 16);
    }

    void shouldReadPictures()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QSizeF, size);
        QTextDocument doc;
        QVERIFY(readRtf(rtf, &doc));
        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), size.width());
        QVERIFY(qAbs(pictures.first().height() - size.height()) < 0.01);
        QImage image;
        QVERIFY(image.loadFromData(doc.resource(QTextDocument::ImageResource, QUrl(pictures.first().name())).toByteArray()));
    }

    void shouldSkipPicturesItCannotShow_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("metafile") << QByteArray("{\\rtf1 a{\\pict\\wmetafile8 0100090000}b}");
        QTest::newRow("png header only") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e47}b}");
        QTest::newRow("empty jpeg") << QByteArray("{\\rtf1 a{\\pict\\jpegblip}b}");
    }

    void shouldSkipPicturesItCannotShow()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument doc;
        QVERIFY(readRtf(rtf, &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("ab"));
        QVERIFY(images(doc).isEmpty());
    }

    void shouldReadSimpleTables()
    {
        QTextDocument doc;
        QVERIFY(readRtf("{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\cellx3000"
                        "\\pard\\intbl a\\cell b\\par b2\\cell c\\cell\\row"
                        "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl\\cell e\\cell f\\cell\\row"
                        "\\pard after\\par}",
                        &doc));
        QTextTable *table = firstTable(doc);
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3);
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("b\u2029b2"));
        QCOMPARE(cellText(table, 1, 0), QString());
        QCOMPARE(cellText(table, 1, 2), QStringLiteral("f"));
        QCOMPARE(doc.firstBlock().text(), QStringLiteral("before"));
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("after"));
    }

    void shouldGrowTableForCellsBeyondTheRowDefinition()
    {
        QTextDocument doc;
        QVERIFY(readRtf("{\\rtf1\\pard\\intbl a\\cell b\\cell c\\cell\\row}", &doc));
        QTextTable *table = firstTable(doc);
        QVERIFY(table);
        QCOMPARE(table->columns(), 3);
        QCOMPARE(cellText(table, 0, 2), QStringLiteral("c"));
    }

    void shouldRefuseDataThatIsNotRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("hello {\\rtf1 x}");
        QTest::newRow("html") << QByteArray("<html><body>x</body></html>");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
    }

    void shouldRefuseDataThatIsNotRtf()
    {
        QFETCH(QByteArray, data);
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("keep me"));
        QVERIFY(!readRtf(data, &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("keep me"));
    }

    void shouldReplaceContentAndLeaveDocumentUnmodified()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("old"));
        doc.setModified(true);
        QVERIFY(readRtf("{\\rtf1 new}", &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("new"));
        QVERIFY(!doc.isModified());
        QVERIFY(!doc.isUndoAvailable());
    }

    void shouldLoadFilesAndReportFailures()
    {
        QTextDocument doc;
        QString error;
        QVERIFY(loadRtfFile(QStringLiteral(EXAM_TEST_DATA_DIR "/wordpad_explanation.rtf"), &doc, &error));
        QVERIFY(doc.toPlainText().startsWith(QStringLiteral("解题辅导")));
        QVERIFY(!loadRtfFile(QStringLiteral(EXAM_TEST_DATA_DIR "/no-such-file.rtf"), &doc, &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!loadRtfFile(QStringLiteral(EXAM_TEST_DATA_DIR "/red_24x16.png"), &doc, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(doc.toPlainText().startsWith(QStringLiteral("解题辅导")));
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
