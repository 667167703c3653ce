#include "candidate/password_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace exam::candidate;

class TestPasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowMaskedFieldAndButtons()
    {
        PasswordDialog dialog;
        dialog.setWindowTitle(QStringLiteral("请输入重考密码:"));
        QCOMPARE(dialog.objectName(), QStringLiteral("输入密码"));
        auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("TxtPW"));
        QVERIFY(field);
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        // Every typed character shows as "*", whatever the style would mask with.
        field->setText(QStringLiteral("358"));
        QCOMPARE(field->displayText(), QStringLiteral("***"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("OKButton"))->text(),
                 QStringLiteral("确定"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("CancelButton"))->text(),
                 QStringLiteral("取消"));
        QVERIFY(!dialog.entry().has_value());
    }

    void shouldAnswerByHowItCloses_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<std::optional<QString>>("entry");
        QTest::newRow("ok trims") << QStringLiteral("ok")
                                  << std::optional<QString>(QStringLiteral("again"));
        QTest::newRow("enter is ok")
            << QStringLiteral("enter") << std::optional<QString>(QStringLiteral("again"));
        QTest::newRow("cancel empties")
            << QStringLiteral("cancel") << std::optional<QString>(QString());
        QTest::newRow("escape is cancel")
            << QStringLiteral("escape") << std::optional<QString>(QString());
        QTest::newRow("close box gives nothing")
            << QStringLiteral("close") << std::optional<QString>();
    }
    void shouldAnswerByHowItCloses()
    {
        QFETCH(QString, action);
        QFETCH(std::optional<QString>, entry);
        PasswordDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("TxtPW"));
        QTest::keyClicks(field, QStringLiteral("  again "));
        if (action == QLatin1String("ok"))
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OKButton")),
                              Qt::LeftButton);
        else if (action == QLatin1String("enter"))
            QTest::keyClick(field, Qt::Key_Return);
        else if (action == QLatin1String("cancel"))
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("CancelButton")),
                              Qt::LeftButton);
        else if (action == QLatin1String("escape"))
            QTest::keyClick(field, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.entry(), entry);
    }

    void shouldStartEmptyEachTimeItIsActivated()
    {
        PasswordDialog dialog;
        dialog.show();
        auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("TxtPW"));
        field->setText(QStringLiteral("typed before"));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&dialog, &activate);
        QVERIFY(field->text().isEmpty());
        QTRY_VERIFY(field->hasFocus());
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "tst_password_dialog.moc"
