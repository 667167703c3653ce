#include "proctor/shell/splash_window.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using exam::SplashWindow;

class TestSplashWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowMajorAndMinorVersion_data();
    void shouldShowMajorAndMinorVersion();
    void shouldWaitThreeSecondsByDefault();
    void shouldFinishWhenItsTimerFires();
    void shouldFinishOnceOnAKeyOrAClick_data();
    void shouldFinishOnceOnAKeyOrAClick();
};

void TestSplashWindow::shouldShowMajorAndMinorVersion_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("label");
    QTest::newRow("three parts") << "5.2.1"
                                 << "5.2";
    QTest::newRow("two parts") << "5.2"
                               << "5.2";
    QTest::newRow("leading zeros") << "05.02.7"
                                   << "5.2";
    QTest::newRow("double digits") << "10.12.0"
                                   << "10.12";
    QTest::newRow("missing") << ""
                             << "0.0";
}

void TestSplashWindow::shouldShowMajorAndMinorVersion()
{
    QFETCH(QString, version);
    QFETCH(QString, label);
    QCOMPARE(exam::versionLabelText(version), label);
    SplashWindow splash(version);
    auto *versionLabel = splash.findChild<QLabel *>(QStringLiteral("Lab版本"));
    QVERIFY(versionLabel);
    QCOMPARE(versionLabel->text(), label);
}

void TestSplashWindow::shouldWaitThreeSecondsByDefault()
{
    SplashWindow splash(QStringLiteral("1.0"));
    QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
    auto *timer = splash.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 3000);
    QVERIFY(!timer->isActive());
    splash.show();
    QVERIFY(timer->isActive());
}

void TestSplashWindow::shouldFinishWhenItsTimerFires()
{
    SplashWindow splash(QStringLiteral("1.0"), 10);
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(finished.wait());
    QCOMPARE(finished.size(), 1);
    QVERIFY(!splash.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

void TestSplashWindow::shouldFinishOnceOnAKeyOrAClick_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("key") << true;
    QTest::newRow("click on the picture") << false;
}

void TestSplashWindow::shouldFinishOnceOnAKeyOrAClick()
{
    QFETCH(bool, byKey);
    SplashWindow splash(QStringLiteral("1.0"));
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    if (byKey) {
        QTest::keyClick(&splash, Qt::Key_Space);
        QTest::keyClick(&splash, Qt::Key_Escape);
    } else {
        auto *picture = splash.findChild<QLabel *>(QStringLiteral("Image1"));
        QVERIFY(picture);
        QTest::mouseClick(picture, Qt::LeftButton);
        QTest::mouseClick(picture, Qt::LeftButton);
    }
    QCOMPARE(finished.size(), 1);
    QVERIFY(!splash.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

QTEST_MAIN(TestSplashWindow)
#include "tst_splash_window.moc"
