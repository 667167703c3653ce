#include "candidate/login_rules.h"

#include <QTest>

using namespace exam::candidate;

class TestLoginRules : public QObject
{
    Q_OBJECT

private slots:
    void shouldNormalizeExamNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("leading zeros") << QStringLiteral("007") << QStringLiteral("7");
        QTest::newRow("blanks around") << QStringLiteral("  1023 ") << QStringLiteral("1023");
        QTest::newRow("zero is no number") << QStringLiteral("000") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("not a number") << QStringLiteral("abc") << QString();
        QTest::newRow("digits then text") << QStringLiteral("12ab") << QStringLiteral("12");
        QTest::newRow("beyond 16 bits stays whole")
            << QStringLiteral("0040000") << QStringLiteral("40000");
    }
    void shouldNormalizeExamNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(normalizeExamNumber(typed), expected);
    }

    void shouldCleanTypedNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks") << QStringLiteral("  张三 ") << QStringLiteral("张三");
        QTest::newRow("line feed")
            << QStringLiteral("张三\n[高一(1)班]") << QStringLiteral("张三 [高一(1)班]");
        QTest::newRow("carriage return") << QStringLiteral("张\r三") << QStringLiteral("张 三");
        QTest::newRow("nul") << (QStringLiteral("张") + QChar(0) + QStringLiteral("三"))
                             << QStringLiteral("张 三");
        QTest::newRow("control at the end") << QStringLiteral("李四\r\n") << QStringLiteral("李四");
        QTest::newRow("only blanks") << QStringLiteral(" \t ") << QString();
    }
    void shouldCleanTypedNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(cleanTypedName(typed), expected);
    }

    void shouldFilterNumberKeys_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        const int none = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("digit 0") << none << QStringLiteral("0") << true;
        QTest::newRow("digit 9") << none << QStringLiteral("9") << true;
        QTest::newRow("keypad digit") << int(Qt::KeypadModifier) << QStringLiteral("5") << true;
        QTest::newRow("enter") << none << QStringLiteral("\r") << true;
        QTest::newRow("backspace") << none << QStringLiteral("\b") << true;
        QTest::newRow("cursor left") << none << QString() << true;
        QTest::newRow("shift+end selects") << int(Qt::ShiftModifier) << QString() << true;
        QTest::newRow("delete") << none << QStringLiteral("\x7f") << true;
        QTest::newRow("tab moves on") << none << QStringLiteral("\t") << true;
        QTest::newRow("select all") << ctrl << QStringLiteral("\x01") << true;
        QTest::newRow("paste") << ctrl << QStringLiteral("\x16") << true;
        QTest::newRow("paste, text as letter") << ctrl << QStringLiteral("v") << true;
        QTest::newRow("undo") << ctrl << QStringLiteral("\x1a") << true;
        QTest::newRow("letter") << none << QStringLiteral("a") << false;
        QTest::newRow("shifted digit key")
            << int(Qt::ShiftModifier) << QStringLiteral("!") << false;
        QTest::newRow("minus") << none << QStringLiteral("-") << false;
        QTest::newRow("point") << none << QStringLiteral(".") << false;
        QTest::newRow("blank") << none << QStringLiteral(" ") << false;
        QTest::newRow("full-width digit") << none << QStringLiteral("７") << false;
        QTest::newRow("digits with a letter") << none << QStringLiteral("1a") << false;
        QTest::newRow("alt letter") << int(Qt::AltModifier) << QStringLiteral("x") << false;
    }
    void shouldFilterNumberKeys()
    {
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(acceptsNumberKey(Qt::KeyboardModifiers(modifiers), text), accepted);
    }
};

QTEST_GUILESS_MAIN(TestLoginRules)
#include "tst_login_rules.moc"
