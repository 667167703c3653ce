#include "candidate/help_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace exam::candidate;

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldBuildFiveHelpLinesBetweenBlankLines()
    {
        const QStringList lines = helpText().split(QChar(13));
        QVERIFY(lines.size() >= 9);
        QVERIFY(lines.at(0).isEmpty());
        QCOMPARE(lines.at(1), QStringLiteral("1、如何翻页：单击“上一题”或“下一题”按钮。 "));
        QCOMPARE(
            lines.at(2),
            QStringLiteral("2、如何选考题：单击“选择考题框”中的按钮,可快速跳转到对应的考题。 "));
        QCOMPARE(lines.at(3),
                 QStringLiteral(
                     "2、如何自动下翻：如果是单选题，您可以选中“自动下翻”选项，实现自动下翻。 "));
        QCOMPARE(lines.at(4), QStringLiteral("3、如何查看答案：如果允许查看答案（练习模式），可以单"
                                             "击“查看答案”按钮，查看答案和解释。"));
        QCOMPARE(lines.at(5), QStringLiteral("4、如何交卷：单击“交卷”按钮即可。"));
        QVERIFY(lines.at(6).isEmpty());
        // The about block names the program and its version.
        QVERIFY(lines.at(7).contains(QStringLiteral(EXAM_CANDIDATE_VERSION)));
        QVERIFY(helpText().endsWith(QChar(13)));
        QVERIFY(!helpText().contains(QChar(10)));
    }

    void shouldShowTextOnSeparateLines()
    {
        HelpWindow window;
        window.setHelpText(helpText());
        auto *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        QCOMPARE(label->toolTip(), QStringLiteral("单击返回"));
        QCOMPARE(label->text().count(QChar(10)), helpText().count(QChar(13)));
        auto *back = window.findChild<QPushButton *>(QStringLiteral("Command1"));
        QCOMPARE(back->text(), QStringLiteral("返回考试"));
        QVERIFY(back->isDefault());
        QCOMPARE(window.objectName(), QStringLiteral("帮助"));
    }

    void shouldCloseOnAnyUse_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("button") << QStringLiteral("button");
        QTest::newRow("click on the text") << QStringLiteral("text");
        QTest::newRow("enter") << QStringLiteral("enter");
        QTest::newRow("a letter") << QStringLiteral("letter");
        QTest::newRow("a letter on the window") << QStringLiteral("window key");
    }
    void shouldCloseOnAnyUse()
    {
        QFETCH(QString, action);
        HelpWindow window;
        window.setHelpText(helpText());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *back = window.findChild<QPushButton *>(QStringLiteral("Command1"));
        if (action == QLatin1String("button"))
            QTest::mouseClick(back, Qt::LeftButton);
        else if (action == QLatin1String("text"))
            QTest::mouseClick(window.findChild<QLabel *>(QStringLiteral("Label1")), Qt::LeftButton);
        else if (action == QLatin1String("enter"))
            QTest::keyClick(back, Qt::Key_Return);
        else if (action == QLatin1String("letter"))
            QTest::keyClick(back, Qt::Key_Q);
        else
            QTest::keyClick(&window, Qt::Key_Z);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_help_window.moc"
