#include "repository/profile_file.h"
#include "repository/profile_values.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

class TestProfileValues : public QObject
{
    Q_OBJECT

private slots:
    void numberRule_data();
    void numberRule();
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void leadingNumberKeepsFractions_data();
    void leadingNumberKeepsFractions();
    void flagIsValueOne_data();
    void flagIsValueOne();
    void shortestNumberText_data();
    void shortestNumberText();
    void blankSignedNumberText_data();
    void blankSignedNumberText();
    void trimBlanksOnlyRemovesSpacesAndTabs();
    void numberedListReadsUpToCount_data();
    void numberedListReadsUpToCount();
    void shorterListLeavesOldKeys();
};

void TestProfileValues::numberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("plain") << u"12"_s << 12;
    QTest::newRow("leading blanks") << u" \t 12"_s << 12;
    QTest::newRow("not a number") << u"abc"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("trailing text") << u"12abc"_s << 12;
    QTest::newRow("negative") << u"-3"_s << -3;
    QTest::newRow("plus sign") << u"+7"_s << 7;
    QTest::newRow("sign without digits") << u"- 5"_s << 0;
    QTest::newRow("half to even down") << u"2.5"_s << 2;
    QTest::newRow("half to even up") << u"3.5"_s << 4;
    QTest::newRow("negative half to even") << u"-2.5"_s << -2;
    QTest::newRow("one half") << u"0.5"_s << 0;
    QTest::newRow("fraction without integer part") << u".6"_s << 1;
    QTest::newRow("decimal then text") << u"12.7kg"_s << 13;
    QTest::newRow("no exponent") << u"1e3"_s << 1;
    QTest::newRow("thousands separator ends the number") << u"1,000"_s << 1;
    QTest::newRow("top of the range") << u"32767"_s << 32767;
    QTest::newRow("bottom of the range") << u"-32768"_s << -32768;
    QTest::newRow("just above rounds into clamp") << u"32767.5"_s << 32767;
    QTest::newRow("above the range clamps") << u"32768"_s << 32767;
    QTest::newRow("far above the range clamps") << u"99999999999999999999999"_s << 32767;
    QTest::newRow("below the range clamps") << u"-40000"_s << -32768;
    QTest::newRow("full-width digits are not digits") << u"１２"_s << 0;
}

void TestProfileValues::numberRule()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(int(profileNumber(text)), expected);
}

void TestProfileValues::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("3.5") << 3.5 << qint64(4);
    QTest::newRow("2.6") << 2.6 << qint64(3);
    QTest::newRow("-0.5") << -0.5 << qint64(0);
    QTest::newRow("-1.5") << -1.5 << qint64(-2);
    QTest::newRow("88.5") << 88.5 << qint64(88);
    QTest::newRow("89.5") << 89.5 << qint64(90);
    QTest::newRow("66.67") << 66.67 << qint64(67);
    QTest::newRow("beyond 16 bits") << 40000.5 << qint64(40000);
    QTest::newRow("huge saturates") << 1e300 << std::numeric_limits<qint64>::max() - 1023;
    QTest::newRow("minus infinity saturates")
        << -std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::min();
    QTest::newRow("no number gives 0") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestProfileValues::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

void TestProfileValues::leadingNumberKeepsFractions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("fraction") << u" 2.25x"_s << 2.25;
    QTest::newRow("dot without digits") << u"7."_s << 7.0;
    QTest::newRow("big") << u"1234567"_s << 1234567.0;
    QTest::newRow("lone dot") << u"."_s << 0.0;
}

void TestProfileValues::leadingNumberKeepsFractions()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(leadingNumber(text), expected);
}

void TestProfileValues::flagIsValueOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("blank 1") << u" 1"_s << true;
    QTest::newRow("1.0") << u"1.0"_s << true;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("2") << u"2"_s << false;
    QTest::newRow("1.5 rounds to 2") << u"1.5"_s << false;
    QTest::newRow("yes") << u"yes"_s << false;
}

void TestProfileValues::flagIsValueOne()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(profileFlag(text), expected);
}

void TestProfileValues::shortestNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("whole number without .0") << 13.0 << u"13"_s;
    QTest::newRow("all seven options") << 1234567.0 << u"1234567"_s;
    QTest::newRow("fraction") << 0.5 << u"0.5"_s;
    QTest::newRow("negative") << -3.0 << u"-3"_s;
    QTest::newRow("15 significant digits") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("a third") << 1.0 / 3.0 << u"0.333333333333333"_s;
    QTest::newRow("large without exponent") << 1e20 << u"100000000000000000000"_s;
    QTest::newRow("large rounded to 15 digits") << 123456789012345678.0 << u"123456789012346000"_s;
    QTest::newRow("small without exponent") << 0.00012 << u"0.00012"_s;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << u"0"_s;
}

void TestProfileValues::shortestNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(exam::shortestNumberText(value), expected);
}

void TestProfileValues::blankSignedNumberText_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("positive") << qint64(25) << u" 25"_s;
    QTest::newRow("zero") << qint64(0) << u" 0"_s;
    QTest::newRow("negative") << qint64(-3) << u"-3"_s;
}

void TestProfileValues::blankSignedNumberText()
{
    QFETCH(qint64, value);
    QFETCH(QString, expected);
    QCOMPARE(exam::blankSignedNumberText(value), expected);
    QCOMPARE(qint64(profileNumber(expected)), value);
}

void TestProfileValues::trimBlanksOnlyRemovesSpacesAndTabs()
{
    QCOMPARE(trimBlanks(u" \t张 三\t "_s), u"张 三"_s);
    // An ideographic space is part of a name, not a blank.
    QCOMPARE(trimBlanks(u"\u3000张三"_s), u"\u3000张三"_s);
}

void TestProfileValues::numberedListReadsUpToCount_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("count 0 with keys present")
        << QByteArray("[L]\r\nN=0\r\n1=a\r\n") << QStringList();
    QTest::newRow("keys above the count ignored")
        << QByteArray("[L]\r\nN=2\r\n1=a\r\n2=b\r\n3=c\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("missing entry reads default")
        << QByteArray("[L]\r\nN=2\r\n2= b \r\n") << QStringList{u"0"_s, u"b"_s};
    QTest::newRow("missing count") << QByteArray("[L]\r\n1=a\r\n") << QStringList();
    QTest::newRow("negative count") << QByteArray("[L]\r\nN=-4\r\n1=a\r\n") << QStringList();
    QTest::newRow("count with blank and fraction")
        << QByteArray("[L]\r\nN= 1.4\r\n1=a\r\n2=b\r\n") << QStringList{u"a"_s};
}

void TestProfileValues::numberedListReadsUpToCount()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    QCOMPARE(readNumberedList(ProfileSnapshot::fromBytes(file), u"L"_s, u"N"_s), expected);
}

void TestProfileValues::shorterListLeavesOldKeys()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"l.cho"_s);
    ProfileBatch first(path);
    setNumberedList(first, u"L"_s, u"N"_s, {u"a"_s, u"b"_s, u"c"_s});
    QVERIFY(first.store());
    ProfileBatch second(path);
    setNumberedList(second, u"L"_s, u"N"_s, {u"x"_s});
    QVERIFY(second.store());
    const ProfileSnapshot snapshot = ProfileSnapshot::load(path);
    QCOMPARE(readNumberedList(snapshot, u"L"_s, u"N"_s), QStringList{u"x"_s});
    QCOMPARE(snapshot.value(u"L"_s, u"3"_s), u"c"_s);
}

QTEST_GUILESS_MAIN(TestProfileValues)
#include "tst_profile_values.moc"
