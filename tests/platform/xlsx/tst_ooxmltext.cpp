#include "platform/xlsx/ooxml_text.h"

#include <QTest>

using namespace xlsx;

class TestOoxmlText : public QObject
{
    Q_OBJECT

private slots:
    void shouldEncodeWhatXmlCannotCarry_data();
    void shouldEncodeWhatXmlCannotCarry();
    void shouldTellWhenBlanksMustBeKept_data();
    void shouldTellWhenBlanksMustBeKept();
};

void TestOoxmlText::shouldEncodeWhatXmlCannotCarry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("Chinese") << QStringLiteral("张三") << QStringLiteral("张三").toUtf8();
    QTest::newRow("plain") << "abc" << QByteArray("abc");
    QTest::newRow("control character") << QString(QChar(0x01)) << QByteArray("_x0001_");
    QTest::newRow("carriage return") << "a\rb" << QByteArray("a_x000D_b");
    QTest::newRow("tab and line feed stay") << "a\tb\nc" << QByteArray("a\tb\nc");
    // The underscore that starts the literal is itself escaped; the rest stays as it was.
    QTest::newRow("literal escape") << "_x0041_" << QByteArray("_x005F_x0041_");
    QTest::newRow("underscore alone") << "a_b_x" << QByteArray("a_b_x");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("_xD800_");
    QTest::newRow("surrogate pair") << QStringLiteral("😀") << QStringLiteral("😀").toUtf8();
    QTest::newRow("not a character") << QString(QChar(0xFFFF)) << QByteArray("_xFFFF_");
}

void TestOoxmlText::shouldEncodeWhatXmlCannotCarry()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QCOMPARE(encodeCellText(text), encoded);
    QCOMPARE(decodeCellText(encoded.constData()), text);
}

void TestOoxmlText::shouldTellWhenBlanksMustBeKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("preserve");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("inner blank") << "a b" << false;
    QTest::newRow("leading blank") << " a" << true;
    QTest::newRow("trailing blank") << "a " << true;
    QTest::newRow("blank only") << " " << true;
    QTest::newRow("ideographic space") << QStringLiteral("　名") << true;
}

void TestOoxmlText::shouldTellWhenBlanksMustBeKept()
{
    QFETCH(QString, text);
    QFETCH(bool, preserve);
    QCOMPARE(needsPreservedSpace(text), preserve);
}

QTEST_APPLESS_MAIN(TestOoxmlText)
#include "tst_ooxmltext.moc"
