#include "repository/name_rules.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

class TestNameRules : public QObject
{
    Q_OBJECT

private slots:
    void paperNames_data();
    void paperNames();
    void classNames_data();
    void classNames();
};

void TestNameRules::paperNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("Chinese name") << u"期中考试(2008)"_s << true;
    QTest::newRow("blanks around are trimmed") << u"  期中  "_s << true;
    QTest::newRow("60 characters") << QString(60, QChar(0x4E2D)) << true;
    QTest::newRow("60 characters beyond the BMP")
        << QString::fromUcs4(std::u32string(60, U'\U00020000').c_str()) << true;
    QTest::newRow("61 characters") << QString(61, QChar(0x4E2D)) << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("only blanks") << u"   "_s << false;
    QTest::newRow("dot") << u"."_s << false;
    QTest::newRow("dot dot") << u".."_s << false;
    QTest::newRow("three dots allowed") << u"..."_s << true;
    QTest::newRow("only digits") << u"2008"_s << false;
    QTest::newRow("digits with text") << u"2008期中"_s << true;
    QTest::newRow("count key") << u"testnamecount"_s << false;
    QTest::newRow("section name") << u"ClassName"_s << false;
    QTest::newRow("main") << u"Main"_s << false;
    QTest::newRow("containing a reserved word") << u"Admin试卷"_s << true;
    QTest::newRow("control character") << u"a\tb"_s << false;
    QTest::newRow("line break") << u"a\nb"_s << false;
    for (const char c : QByteArray("\\/:*?\"<>|[]="))
        QTest::addRow("character %c", c) << (u"a"_s + QLatin1Char(c) + u"b"_s) << false;
}

void TestNameRules::paperNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    const NameCheck check = checkPaperName(name);
    QCOMPARE(bool(check), accepted);
    QCOMPARE(check.reason.isEmpty(), accepted);
}

void TestNameRules::classNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("class") << u"高一(1)班"_s << true;
    QTest::newRow("year as class name") << u"2008"_s << true;
    QTest::newRow("reserved") << u"CLASSCOUNT"_s << false;
    QTest::newRow("equals sign") << u"a=b"_s << false;
    QTest::newRow("bracket") << u"[1]"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestNameRules::classNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    const NameCheck check = checkClassName(name);
    QCOMPARE(bool(check), accepted);
    if (!accepted)
        QVERIFY(check.reason.contains(u"班级名称"_s));
}

QTEST_GUILESS_MAIN(TestNameRules)
#include "tst_name_rules.moc"
