// Writing QTextDocument as RTF: what Unicode and code page readers find, and read-write round
// trips.
#include "rtf.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(EXAM_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

QString colorName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

QString imageDescription(const QTextDocument &doc, const QTextImageFormat &format)
{
    QImage image;
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.userType() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    else
        image = qvariant_cast<QImage>(resource);
    return QStringLiteral("[image %1x%2 shown %3x%4 pixel %5]")
        .arg(image.width())
        .arg(image.height())
        .arg(qRound(format.width()))
        .arg(qRound(format.height()))
        .arg(image.isNull() ? QString() : image.pixelColor(0, 0).name());
}

QString runKey(const QTextCharFormat &f)
{
    const QStringList families = f.fontFamilies().toStringList();
    return QStringLiteral("%1 %2pt%3%4%5%6 va%7 fg%8 bg%9")
        .arg(families.value(0))
        .arg(f.fontPointSize())
        .arg(f.fontWeight() >= QFont::DemiBold ? QStringLiteral(" b") : QString())
        .arg(f.fontItalic() ? QStringLiteral(" i") : QString())
        .arg(f.fontUnderline() ? QStringLiteral(" u") : QString())
        .arg(f.fontStrikeOut() ? QStringLiteral(" s") : QString())
        .arg(int(f.verticalAlignment()))
        .arg(colorName(f.foreground()), colorName(f.background()));
}

QString blockKey(const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QString key = QStringLiteral("align%1 l%2 r%3 fi%4 t%5 b%6 lh%7/%8%9 |")
                      .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                      .arg(qRound(f.leftMargin()))
                      .arg(qRound(f.rightMargin()))
                      .arg(qRound(f.textIndent()))
                      .arg(qRound(f.topMargin()))
                      .arg(qRound(f.bottomMargin()))
                      .arg(f.lineHeightType())
                      .arg(qRound(f.lineHeight()))
                      .arg(QTextCursor(block).currentTable() ? QStringLiteral(" cell") : QString());
    QString lastRun;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            key += imageDescription(*block.document(), format.toImageFormat());
            lastRun.clear();
            continue;
        }
        const QString run = runKey(format);
        if (run != lastRun)
            key += QStringLiteral(" <") + run + QStringLiteral("> ");
        key += fragment.text();
        lastRun = run;
    }
    return key;
}

// Everything a reader of the document sees: per block its format, runs and pictures.
QStringList describe(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        lines << blockKey(block);
    return lines;
}

QStringList readBack(const QByteArray &rtf)
{
    QTextDocument doc;
    if (!rtf::readRtf(rtf, &doc))
        return {QStringLiteral("<not rtf>")};
    return describe(doc);
}

// What a reader without Unicode support sees: every \uN removed, the fallback bytes left.
QByteArray withoutUnicodeEscapes(QByteArray rtf)
{
    static const QRegularExpression unicode(QStringLiteral("\\\\u-?[0-9]+ ?"));
    return QString::fromLatin1(rtf)
        .remove(unicode)
        .toLatin1()
        .replace("\\uc2", "\\uc0")
        .replace("\\uc1", "\\uc0");
}

void justifiedEnd(QTextCursor &cursor, const QTextCharFormat &format)
{
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setTopMargin(6);
    cursor.setBlockFormat(justified);
    cursor.insertText(QStringLiteral("完。"), format);
}

QTextDocument *richDocument(QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    QTextCursor cursor(doc);
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    centered.setBottomMargin(10);
    cursor.setBlockFormat(centered);
    QTextCharFormat title;
    title.setFontFamilies({QStringLiteral("黑体")});
    title.setFontPointSize(18);
    title.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("第三题：判断题"), title);

    QTextBlockFormat indented;
    indented.setLeftMargin(24);
    indented.setTextIndent(-12);
    indented.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    cursor.insertBlock(indented);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("SimSun")});
    body.setFontPointSize(12);
    cursor.insertText(QStringLiteral("水在 "), body);
    QTextCharFormat red = body;
    red.setForeground(QColor(200, 0, 0));
    red.setFontItalic(true);
    cursor.insertText(QStringLiteral("100°C"), red);
    QTextCharFormat marked = body;
    marked.setBackground(QColor(255, 255, 0));
    marked.setFontUnderline(true);
    cursor.insertText(QStringLiteral(" 时沸腾 {A} \\ B\t€"), marked);
    QTextCharFormat latin;
    latin.setFontFamilies({QStringLiteral("Arial")});
    latin.setFontPointSize(10.5);
    latin.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral(" H"), latin);
    latin.setFontStrikeOut(false);
    latin.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(QStringLiteral("2"), latin);
    latin.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText(QStringLiteral("3"), latin);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right);
    cursor.insertText(QStringLiteral("换行\u2028第二行"), body);

    cursor.insertBlock(QTextBlockFormat());
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("blue.png")), png);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("blue.png"));
    picture.setWidth(30);
    picture.setHeight(20);
    cursor.insertImage(picture);

    QTextTable *table = cursor.insertTable(2, 2);
    const QStringList cells = {QStringLiteral("是"), QStringLiteral("否"), QStringLiteral("A"),
                               QString()};
    for (int i = 0; i < 4; ++i)
        table->cellAt(i / 2, i % 2).firstCursorPosition().insertText(cells[i], body);
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    justifiedEnd(cursor, body);
    return doc;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void shouldDeclareCodePage936AndChineseFonts()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat song;
        song.setFontFamilies({QStringLiteral("宋体")});
        cursor.insertText(QStringLiteral("中文"), song);
        QTextCharFormat arial;
        arial.setFontFamilies({QStringLiteral("Arial")});
        cursor.insertText(QStringLiteral("abc"), arial);
        const QByteArray rtf = rtf::writeRtf(doc);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
        QVERIFY(rtf.contains("\\fcharset134 \\'cb\\'ce\\'cc\\'e5;")); // 宋体 in GB bytes
        QVERIFY(rtf.contains("\\fcharset0 Arial;"));
        QVERIFY(rtf.trimmed().endsWith('}'));
    }

    void shouldEscapeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Chinese: Unicode and two GB bytes")
            << QStringLiteral("中") << QByteArray("\\uc2\\u20013\\'d6\\'d0");
        QTest::newRow("high BMP code is negative")
            << QStringLiteral("\uFF1F") << QByteArray("\\u-225\\'a3\\'bf");
        QTest::newRow("RTF specials") << QStringLiteral("{a}\\") << QByteArray("\\{a\\}\\\\");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray("a\\tab b");
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QByteArray("a\\line b");
        QTest::newRow("non-breaking space") << QStringLiteral("a\u00A0b") << QByteArray("a\\~b");
        QTest::newRow("not in code page 936")
            << QStringLiteral("\u00FF") << QByteArray(" \\u255?}");
        QTest::newRow("fallback length changes")
            << QStringLiteral("中\u00FF中")
            << QByteArray("\\uc2\\u20013\\'d6\\'d0\\uc1\\u255?\\uc2\\u20013");
        QTest::newRow("outside the BMP")
            << QStringLiteral("😀") << QByteArray("\\u-10179?\\u-8704?");
    }

    void shouldEscapeText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QTextDocument doc;
        QTextCursor(&doc).insertText(text);
        const QByteArray rtf = rtf::writeRtf(doc);
        QVERIFY2(rtf.contains(expected), rtf.constData());
        QTextDocument back;
        QVERIFY(rtf::readRtf(rtf, &back));
        QCOMPARE(back.toRawText(), text);
    }

    void shouldGiveCodePageReadersTheSameCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("question") << QStringLiteral("下列哪个选项是正确的？（单选）");
        QTest::newRow("mixed with Latin") << QStringLiteral("α粒子、β射线与①号选项 (A)");
        QTest::newRow("full-width punctuation") << QStringLiteral("“引号”、《书名》…——€");
    }

    void shouldGiveCodePageReadersTheSameCharacters()
    {
        QFETCH(QString, text);
        QTextDocument doc;
        QTextCursor(&doc).insertText(text);
        const QByteArray legacy = withoutUnicodeEscapes(rtf::writeRtf(doc));
        QVERIFY(!legacy.contains("\\u2"));
        QTextDocument back;
        QVERIFY(rtf::readRtf(legacy, &back));
        QCOMPARE(back.toPlainText(), text);
    }

    void shouldKeepFormattingThroughReadAndWrite()
    {
        QObject owner;
        QTextDocument *doc = richDocument(&owner);
        const QStringList original = describe(*doc);
        const QByteArray rtf = rtf::writeRtf(*doc);
        QCOMPARE(readBack(rtf), original);

        QTextDocument again;
        QVERIFY(rtf::readRtf(rtf, &again));
        QCOMPARE(rtf::writeRtf(again), rtf); // a second write changes nothing
    }

    void shouldKeepFixturesThroughWriteAndRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("rich-text control") << QStringLiteral("richedit_question.rtf");
        QTest::newRow("WordPad") << QStringLiteral("wordpad_explanation.rtf");
        QTest::newRow("LibreOffice") << QStringLiteral("libreoffice_question.rtf");
        QTest::newRow("Word") << QStringLiteral("word_question.rtf");
        QTest::newRow("code pages") << QStringLiteral("charsets.rtf");
    }

    void shouldKeepFixturesThroughWriteAndRead()
    {
        QFETCH(QString, file);
        QTextDocument doc;
        QVERIFY(rtf::readRtf(fixture(file), &doc));
        QCOMPARE(readBack(rtf::writeRtf(doc)), describe(doc));
    }

    void shouldKeepPngBytesAndConvertOtherPictures_data()
    {
        QTest::addColumn<bool>("pixmap");
        QTest::newRow("image resource") << false;
        QTest::newRow("pixmap resource") << true;
    }

    void shouldKeepPngBytesAndConvertOtherPictures()
    {
        QFETCH(bool, pixmap);
        QImage image(5, 3, QImage::Format_ARGB32);
        image.fill(QColor(0, 255, 0));
        QTextDocument doc;
        const QVariant resource = pixmap ? QVariant(QPixmap::fromImage(image)) : QVariant(image);
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:green")), resource);
        QTextImageFormat format;
        format.setName(QStringLiteral("mem:green"));
        QTextCursor(&doc).insertImage(format);

        const QByteArray rtf = rtf::writeRtf(doc);
        QVERIFY(rtf.contains("\\pngblip"));
        QVERIFY(rtf.contains("\\picwgoal75\\pichgoal45")); // natural size in twips
        QTextDocument back;
        QVERIFY(rtf::readRtf(rtf, &back));
        const QStringList described = describe(back);
        QCOMPARE(described.size(), 1);
        QVERIFY2(described.first().contains(QStringLiteral("[image 5x3 shown 5x3 pixel #00ff00]")),
                 qPrintable(described.first()));

        // The PNG read back is written out byte for byte.
        QTextDocument third;
        QVERIFY(rtf::readRtf(rtf::writeRtf(back), &third));
        QCOMPARE(rtf::writeRtf(third), rtf::writeRtf(back));
    }

    void shouldKeepJpegPictures()
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(QColor(128, 128, 128));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "JPEG"));
        const QByteArray rtf = "{\\rtf1{\\pict\\jpegblip " + jpeg.toHex() + "}}";
        QTextDocument doc;
        QVERIFY(rtf::readRtf(rtf, &doc));
        const QByteArray written = rtf::writeRtf(doc);
        QVERIFY(written.contains("\\jpegblip"));
        QVERIFY(written.contains(jpeg.toHex().left(64)));
    }

    void shouldWriteEmptyDocument()
    {
        QTextDocument doc;
        const QByteArray rtf = rtf::writeRtf(doc);
        QTextDocument back;
        back.setPlainText(QStringLiteral("x"));
        QVERIFY(rtf::readRtf(rtf, &back));
        QCOMPARE(back.toPlainText(), QString());
        QCOMPARE(back.blockCount(), 1);
    }

    void shouldKeepEmptyParagraphs()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("\na\n\nb\n"));
        QTextDocument back;
        QVERIFY(rtf::readRtf(rtf::writeRtf(doc), &back));
        QCOMPARE(back.toPlainText(), doc.toPlainText());
    }

    void shouldSaveFilesAtomically()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("12345.RTF"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
        old.close();

        QObject owner;
        QTextDocument *doc = richDocument(&owner);
        QString error;
        if (const exam::Result result = rtf::saveRtfFile(path, *doc); !result)
            QFAIL(qPrintable(result.message()));
        QTextDocument back;
        if (const exam::Result result = rtf::loadRtfFile(path, &back); !result)
            QFAIL(qPrintable(result.message()));
        QCOMPARE(describe(back), describe(*doc));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("12345.RTF")});

        const exam::Result failed =
            rtf::saveRtfFile(dir.filePath(QStringLiteral("missing/x.rtf")), *doc);

        QVERIFY(!failed);

        error = failed.message();
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
