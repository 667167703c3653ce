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
    if (!rtf::readRtf(rtf, &doc))
        return QStringLiteral("<not rtf>");
    // Raw text keeps line separators and non-breaking spaces apart from paragraph ends and blanks.
    return doc.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    // Text and formatting of real files, one checked run per row: the run is found by its text.
    void shouldReadRunsOfRealFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("run");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char *file, const char *run, QTextFormat::Property p,
                            const QVariant &v) {
            QTest::addRow("%s: %s %x", file, run, int(p))
                << QByteArray(file) << QString::fromUtf8(run) << int(p) << v;
        };
        const QVariant bold = int(QFont::Bold);
        // The rich-text control: GB bytes as \'hh pairs under \fcharset134 fonts.
        row("richedit_question.rtf", "单项选择", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("黑体")});
        row("richedit_question.rtf", "单项选择", QTextFormat::FontPointSize, 16.0);
        row("richedit_question.rtf", "单项选择", QTextFormat::FontWeight, bold);
        row("richedit_question.rtf", "首都", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("宋体")});
        row("richedit_question.rtf", "北京", QTextFormat::ForegroundBrush,
            QBrush(QColor(255, 0, 0)));
        row("richedit_question.rtf", "上海", QTextFormat::FontItalic, true);
        row("richedit_question.rtf", "广州", QTextFormat::TextUnderlineStyle,
            int(QTextCharFormat::SingleUnderline));
        row("richedit_question.rtf", "Shenzhen", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("Arial")});
        row("richedit_question.rtf", "Shenzhen", QTextFormat::ForegroundBrush,
            QBrush(QColor(0, 0, 255)));
        row("richedit_question.rtf", "价格", QTextFormat::FontPointSize, 9.0);
        row("richedit_question.rtf", "End", QTextFormat::FontPointSize, 10.0);
        // WordPad: \uN with two GB fallback bytes each (\uc2).
        row("wordpad_explanation.rtf", "解题辅导", QTextFormat::ForegroundBrush,
            QBrush(QColor(0, 128, 0)));
        row("wordpad_explanation.rtf", "解题辅导", QTextFormat::FontPointSize, 14.0);
        row("wordpad_explanation.rtf", "首都", QTextFormat::ForegroundBrush, QVariant());
        // LibreOffice: CJK runs carry their font, size and weight as \dbch\af, \afs, \ab.
        row("libreoffice_question.rtf", "多项选择", QTextFormat::FontPointSize, 16.0);
        row("libreoffice_question.rtf", "多项选择", QTextFormat::FontWeight, bold);
        row("libreoffice_question.rtf", "多项选择", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("Noto Sans CJK SC")});
        row("libreoffice_question.rtf", "流经", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("Noto Serif CJK SC")});
        row("libreoffice_question.rtf", "长江", QTextFormat::ForegroundBrush,
            QBrush(QColor(255, 0, 0)));
        row("libreoffice_question.rtf", "四川", QTextFormat::FontItalic, true);
        row("libreoffice_question.rtf", "湖北", QTextFormat::TextUnderlineStyle,
            int(QTextCharFormat::SingleUnderline));
        row("libreoffice_question.rtf", "河北", QTextFormat::FontStrikeOut, true);
        row("libreoffice_question.rtf", "H2", QTextFormat::TextVerticalAlignment,
            int(QTextCharFormat::AlignSubScript));
        row("libreoffice_question.rtf", "x2", QTextFormat::TextVerticalAlignment,
            int(QTextCharFormat::AlignSuperScript));
        row("libreoffice_question.rtf", "分值", QTextFormat::ForegroundBrush,
            QBrush(QColor(0, 0, 255)));
        row("libreoffice_question.rtf", "分值", QTextFormat::FontPointSize, 10.0);
        // Word: \loch\hich\dbch fonts, a hyperlink field, the \ud copy of the font table.
        row("word_question.rtf", "填空", QTextFormat::FontPointSize, 14.0);
        row("word_question.rtf", "填空", QTextFormat::FontWeight, bold);
        row("word_question.rtf", "填空", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("宋体")});
        row("word_question.rtf", "____", QTextFormat::FontFamilies,
            QStringList{QStringLiteral("Times New Roman")});
        row("word_question.rtf", "____", QTextFormat::ForegroundBrush, QBrush(QColor(255, 0, 0)));
        row("word_question.rtf", "教学网站", QTextFormat::TextUnderlineStyle,
            int(QTextCharFormat::SingleUnderline));
        row("word_question.rtf", "教学网站", QTextFormat::ForegroundBrush,
            QBrush(QColor(0, 112, 192)));
        row("word_question.rtf", "处", QTextFormat::FontPointSize, 10.5);
    }

    void shouldReadRunsOfRealFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, run);
        QFETCH(int, property);
        QFETCH(QVariant, value);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(fixture(file.constData()), &doc));
        const QTextCursor found = doc.find(run);
        QVERIFY(!found.isNull());
        QCOMPARE(found.charFormat().property(property), value);
    }

    // Paragraph text (every visible character, nothing from hidden destinations) and format.
    void shouldReadParagraphsOfRealFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<double>("indent");
        const auto row = [](const char *file, int block, const QString &text, Qt::Alignment a,
                            double indent) {
            QTest::addRow("%s: %d", file, block)
                << QByteArray(file) << block << text << int(a) << indent;
        };
        row("richedit_question.rtf", 0, QStringLiteral("第一题：单项选择"), Qt::AlignHCenter, 0);
        row("richedit_question.rtf", 1, QStringLiteral("下列城市中，哪一个是中国的首都？"),
            Qt::AlignLeft, 420 / 15.0);
        row("richedit_question.rtf", 2, QStringLiteral("A. 北京\tB. 上海\tC. 广州\tD. Shenzhen"),
            Qt::AlignLeft, 420 / 15.0);
        row("richedit_question.rtf", 3, QStringLiteral("价格 €5★"), Qt::AlignRight,
            0); // \uc1\uN? fallbacks dropped
        row("wordpad_explanation.rtf", 0, QStringLiteral("解题辅导：正确答案是 A。"), Qt::AlignLeft,
            0);
        row("wordpad_explanation.rtf", 1, QStringLiteral("北京是中华人民共和国的首都。"),
            Qt::AlignLeft, 0);
        row("charsets.rtf", 0, QStringLiteral("繁體中文"), Qt::AlignLeft, 0); // Big5, \fcharset136
        row("charsets.rtf", 1, QStringLiteral("日本語"), Qt::AlignLeft,
            0); // Shift-JIS, \fcharset128
        row("charsets.rtf", 2, QStringLiteral("café €"), Qt::AlignLeft,
            0); // Windows-1252, \fcharset0
        row("charsets.rtf", 3, QStringLiteral("简体"), Qt::AlignLeft, 0);
        row("libreoffice_question.rtf", 0, QStringLiteral("第二题：多项选择"), Qt::AlignHCenter, 0);
        row("libreoffice_question.rtf", 1, QStringLiteral("下列哪些是长江流经的省份？"),
            Qt::AlignLeft, 567 / 15.0);
        row("libreoffice_question.rtf", 3, QStringLiteral("分值：2 分"), Qt::AlignRight, 0);
        row("word_question.rtf", 0, QStringLiteral("第四题：填空"), Qt::AlignHCenter, 0);
        row("word_question.rtf", 1, QStringLiteral("请访问教学网站，答案写在____处。"),
            Qt::AlignLeft, 0);
    }

    void shouldReadParagraphsOfRealFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, block);
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(double, indent);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(fixture(file.constData()), &doc));
        const QTextBlock b = doc.findBlockByNumber(block);
        QCOMPARE(b.text(), text);
        QCOMPARE(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask), alignment);
        QCOMPARE(b.blockFormat().leftMargin(), indent);
    }

    void shouldReadPicturesAndTablesOfRealFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("last");
        QTest::newRow("rich-text control")
            << QByteArray("richedit_question.rtf") << QSizeF(48, 32)
            << QStringList{"选项", "说明", "A", "正确答案"} << QStringLiteral("End of question.");
        // LibreOffice: the picture once (\shppict, not \nonshppict), scaled by \picscalex200.
        QTest::newRow("LibreOffice")
            << QByteArray("libreoffice_question.rtf") << QSizeF(48, 32)
            << QStringList{"省份", "简称", "四川", "川"} << QStringLiteral("结束。");
        QTest::newRow("Word") << QByteArray("word_question.rtf") << QSizeF(32, 21.33)
                              << QStringList{} << QStringLiteral("\uFFFC");
    }

    void shouldReadPicturesAndTablesOfRealFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QSizeF, picture);
        QFETCH(QStringList, cells);
        QFETCH(QString, last);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(fixture(file.constData()), &doc));
        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), picture.width());
        QVERIFY(qAbs(pictures.first().height() - picture.height()) < 0.01);
        QImage image;
        QVERIFY(image.loadFromData(
            doc.resource(QTextDocument::ImageResource, QUrl(pictures.first().name()))
                .toByteArray()));
        QCOMPARE(image.pixelColor(3, 3), QColor(255, 0, 0));

        QTextTable *table = firstTable(doc);
        QCOMPARE(table != nullptr, !cells.isEmpty());
        if (table) {
            QCOMPARE(table->rows() * table->columns(), cells.size());
            for (int i = 0; i < cells.size(); ++i)
                QCOMPARE(cellText(table, i / table->columns(), i % table->columns()), cells.at(i));
        }
        // After the table we are outside it, and the final \par adds no empty paragraph.
        QCOMPARE(doc.lastBlock().text(), last);
        QVERIFY(!QTextCursor(doc.lastBlock()).currentTable());
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
        row("ansicpg without font charset",
            "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\'ba\\'c3}",
            QStringLiteral("好"));
        row("negative \\u", "{\\rtf1 \\u-24067?}", QString(QChar(0xA1FD)));
        row("\\uc0 has no fallback", "{\\rtf1\\uc0\\u20013 x}", QStringLiteral("中x"));
        row("\\uc2 skips escapes", "{\\rtf1\\uc2\\u20013\\'d6\\'d0x}", QStringLiteral("中x"));
        row("fallback control word counts once", "{\\rtf1\\uc1\\u20013\\tab x}",
            QStringLiteral("中x"));
        row("fallback ends with the group", "{\\rtf1\\uc3{\\u20013}x}", QStringLiteral("中x"));
        row("\\uc is scoped to its group", "{\\rtf1{\\uc2 a}\\u20013?b}", QStringLiteral("a中b"));
        row("surrogate pair", "{\\rtf1\\uc1\\u-10179?\\u-8704?}", QStringLiteral("😀"));
        row("hidden text", "{\\rtf1 a{\\v hidden}b\\v c\\v0 d}", QStringLiteral("abd"));
        row("field shows its result",
            "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} end}",
            QStringLiteral("see link end"));
        row("unstarred field instruction", "{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}",
            QStringLiteral("3"));
        row("unknown starred destination", "{\\rtf1 a{\\*\\unknownthing b{c}d}e}",
            QStringLiteral("ae"));
        row("unknown plain control word", "{\\rtf1 a\\madeupword b}", QStringLiteral("ab"));
        row("info and stylesheet", "{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}x}",
            QStringLiteral("x"));
        row("\\upr keeps the Unicode copy", "{\\rtf1{\\upr{ansi}{\\*\\ud{\\u20013?}}}}",
            QStringLiteral("中"));
        row("line, tab and page", "{\\rtf1 a\\line b\\tab c\\page d}",
            QStringLiteral("a\u2028b\tc\nd"));
        row("escaped specials", "{\\rtf1 \\{x\\}\\\\}", QStringLiteral("{x}\\"));
        row("binary data in a skipped group", "{\\rtf1 a{\\*\\blob\\bin4 }}{{}b}",
            QStringLiteral("ab"));
        row("nonshppict is skipped", "{\\rtf1 a{\\nonshppict b}c}", QStringLiteral("ac"));
        row("bad hex escape", "{\\rtf1 a\\'zzb\\'4}",
            QStringLiteral("azzb\u0004").remove(QChar(4)));
        row("non-breaking space and hyphens", "{\\rtf1 a\\~b\\-c\\_d}",
            QStringLiteral("a\u00A0bc\u2011d"));
        row("final paragraph mark", "{\\rtf1 a\\par}", QStringLiteral("a"));
        row("empty paragraph before the last mark", "{\\rtf1 a\\par\\par}", QStringLiteral("a\n"));
        row("backslash line end is a paragraph", "{\\rtf1 a\\\nb}", QStringLiteral("a\nb"));
        row("text after the document group", "{\\rtf1 a}b", QStringLiteral("a"));
        row("control characters from \\u", "{\\rtf1 a\\u21 ?b\\u9 ?c\\u-4 ?d}",
            QStringLiteral("ab\tcd"));
        row("typographic words", "{\\rtf1 \\lquote x\\rquote\\emdash\\bullet}",
            QStringLiteral("‘x’—•"));
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
        const auto row = [](const char *name, const char *rtf, QTextFormat::Property p,
                            const QVariant &v) {
            QTest::newRow(name) << QByteArray(rtf) << int(p) << v;
        };
        row("bold", "{\\rtf1 a\\b X}", QTextFormat::FontWeight, int(QFont::Bold));
        row("bold off", "{\\rtf1 \\b a\\b0 X}", QTextFormat::FontWeight, QVariant());
        row("plain resets", "{\\rtf1 \\i\\fs40 a\\plain X}", QTextFormat::FontPointSize, 12.0);
        row("plain resets to the document defaults",
            "{\\rtf1{\\*\\defchp \\fs21\\b\\par}\\fs40 a\\plain X}", QTextFormat::FontPointSize,
            10.5);
        row("group restores", "{\\rtf1 {\\i a}X}", QTextFormat::FontItalic, QVariant());
        row("size in half points", "{\\rtf1 \\fs21 X}", QTextFormat::FontPointSize, 10.5);
        row("huge size is clamped", "{\\rtf1 \\fs99999999999 X}", QTextFormat::FontPointSize,
            1638.0);
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
        QVERIFY(rtf::readRtf(rtf, &doc));
        const QTextCharFormat format = formatOf(doc, QStringLiteral("X"));
        if (!value.isValid()) {
            const QVariant actual = format.property(property);
            QVERIFY2(!actual.isValid() || actual == QVariant(false) ||
                         actual == QVariant(int(QFont::Normal)) ||
                         actual == QVariant(int(QTextCharFormat::NoUnderline)),
                     qPrintable(actual.toString()));
        } else {
            QCOMPARE(format.property(property), value);
        }
    }

    void shouldApplyColours()
    {
        QTextDocument doc;
        QVERIFY(rtf::readRtf("{\\rtf1{\\colortbl;\\red10\\green20\\blue30;\\red300\\green0\\blue0;}"
                             "\\cf1 A\\cf0 B\\highlight2 C\\cf9 D}",
                             &doc));
        QCOMPARE(formatOf(doc, QStringLiteral("A")).foreground().color(), QColor(10, 20, 30));
        QCOMPARE(formatOf(doc, QStringLiteral("B")).foreground().style(), Qt::NoBrush);
        QCOMPARE(formatOf(doc, QStringLiteral("C")).background().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(doc, QStringLiteral("D")).foreground().style(),
                 Qt::NoBrush); // beyond the table
    }

    void shouldApplyParagraphFormatting()
    {
        QTextDocument doc;
        QVERIFY(rtf::readRtf(
            "{\\rtf1\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 A\\par"
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
            << "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}}"
            << QSizeF(24, 16);
        QTest::newRow("pixel size and scale")
            << "{\\rtf1{\\pict\\pngblip\\picw12\\pich8\\picscalex50\\picscaley50 " + hex + "}}"
            << QSizeF(6, 4);
        QTest::newRow("absurd goal is bounded")
            << "{\\rtf1{\\pict\\pngblip\\picwgoal2147483647\\pichgoal1 " + hex + "}}"
            << QSizeF(4096, 1);
        QTest::newRow("hex with stray characters and line ends")
            << "{\\rtf1{\\pict\\pngblip " + hex.left(20) + "\r\n zz" + hex.mid(20) + "}}"
            << QSizeF(24, 16);
    }

    void shouldReadPictures()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QSizeF, size);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(rtf, &doc));
        const QList<QTextImageFormat> pictures = images(doc);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().width(), size.width());
        QVERIFY(qAbs(pictures.first().height() - size.height()) < 0.01);
        QImage image;
        QVERIFY(image.loadFromData(
            doc.resource(QTextDocument::ImageResource, QUrl(pictures.first().name()))
                .toByteArray()));
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
        QVERIFY(rtf::readRtf(rtf, &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("ab"));
        QVERIFY(images(doc).isEmpty());
    }

    void shouldReadSimpleTables()
    {
        QTextDocument doc;
        QVERIFY(rtf::readRtf(
            "{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\cellx3000"
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
        QVERIFY(rtf::readRtf("{\\rtf1\\pard\\intbl a\\cell b\\cell c\\cell\\row}", &doc));
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
        QVERIFY(!rtf::readRtf(data, &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("keep me"));
    }

    void shouldReplaceContentAndLeaveDocumentUnmodified()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("old"));
        doc.setModified(true);
        QVERIFY(rtf::readRtf("{\\rtf1 new}", &doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("new"));
        QVERIFY(!doc.isModified());
        QVERIFY(!doc.isUndoAvailable());
    }

    void shouldLoadFilesAndReportFailures()
    {
        QTextDocument doc;
        QString error;
        if (const exam::Result result = rtf::loadRtfFile(
                QStringLiteral(EXAM_TEST_DATA_DIR "/wordpad_explanation.rtf"), &doc);
            !result)
            QFAIL(qPrintable(result.message()));
        QVERIFY(doc.toPlainText().startsWith(QStringLiteral("解题辅导")));
        const exam::Result failed =
            rtf::loadRtfFile(QStringLiteral(EXAM_TEST_DATA_DIR "/no-such-file.rtf"), &doc);
        QVERIFY(!failed);
        error = failed.message();
        QVERIFY(!error.isEmpty());
        const exam::Result notRtf =
            rtf::loadRtfFile(QStringLiteral(EXAM_TEST_DATA_DIR "/red_24x16.png"), &doc);
        QVERIFY(!notRtf);
        QVERIFY(!notRtf.message().isEmpty());
        QVERIFY(doc.toPlainText().startsWith(QStringLiteral("解题辅导")));
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
