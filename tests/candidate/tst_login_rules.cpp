#include "candidate/login_rules.h"

#include <QTest>

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
        QTest::newRow("beyond 16 bits stays whole") << QStringLiteral("0040000") << QStringLiteral("40000");
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
        QTest::newRow("line feed") << QStringLiteral("张三\n[高一(1)班]") << QStringLiteral("张三 [高一(1)班]");
        QTest::newRow("carriage return") << QStringLiteral("张\r三") << QStringLiteral("张 三");
        QTest::newRow("nul") << (QStringLiteral("张") + QChar(0) + QStringLiteral("三")) << QStringLiteral("张 三");
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
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digit 0") << int(Qt::Key_0) << QStringLiteral("0") << true;
        QTest::newRow("digit 9") << int(Qt::Key_9) << QStringLiteral("9") << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << QStringLiteral("\r") << true;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << QStringLiteral("\r") << true;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << QStringLiteral("\b") << true;
        QTest::newRow("cursor left") << int(Qt::Key_Left) << QString() << true;
        QTest::newRow("delete") << int(Qt::Key_Delete) << QStringLiteral("\x7f") << true;
        QTest::newRow("tab moves on") << int(Qt::Key_Tab) << QStringLiteral("\t") << true;
        QTest::newRow("letter") << int(Qt::Key_A) << QStringLiteral("a") << false;
        QTest::newRow("minus") << int(Qt::Key_Minus) << QStringLiteral("-") << false;
        QTest::newRow("point") << int(Qt::Key_Period) << QStringLiteral(".") << false;
        QTest::newRow("blank") << int(Qt::Key_Space) << QStringLiteral(" ") << false;
        QTest::newRow("full-width digit") << int(Qt::Key_unknown) << QStringLiteral("７") << false;
        QTest::newRow("paste shortcut") << int(Qt::Key_V) << QStringLiteral("\x16") << false;
    }
    void shouldFilterNumberKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(acceptsNumberKey(key, text), accepted);
    }
};

QTEST_GUILESS_MAIN(TestLoginRules)
#include "tst_login_rules.moc"
