#include "candidate/answer_feedback.h"

#include <QTest>

using namespace exam::candidate;

namespace {

OptionTints greenFor(const QString &digits)
{
    OptionTints tints{};
    for (int j = 1; j <= exam::OptionCount; ++j)
        tints[j - 1] = digits.contains(QChar(u'0' + j)) ? Tint::StandardOption : Tint::Unticked;
    return tints;
}

} // namespace

class TestAnswerFeedback : public QObject
{
    Q_OBJECT

private slots:
    void feedbackTexts_data()
    {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<double>("answer");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("coloured");
        QTest::newRow("right") << QStringLiteral("13") << 13.0
                               << QStringLiteral("   标准答案: 13  您答对了!") << true;
        QTest::newRow("wrong") << QStringLiteral("13") << 1.0
                               << QStringLiteral("   标准答案: 13  您答错了!") << true;
        QTest::newRow("not answered")
            << QStringLiteral("2") << 0.0 << QStringLiteral("   标准答案: 2  您尚未做题!") << true;
        QTest::newRow("no standard answer")
            << QString() << 0.0 << QStringLiteral(" 本题标准答案尚未输入.") << false;
        QTest::newRow("no standard, answered")
            << QStringLiteral("0") << 4.0 << QStringLiteral(" 本题标准答案尚未输入.") << false;
    }
    void feedbackTexts()
    {
        QFETCH(QString, standard);
        QFETCH(double, answer);
        QFETCH(QString, suffix);
        QFETCH(bool, coloured);
        const AnswerFeedback feedback = answerFeedback(standard, answer);
        QCOMPARE(feedback.captionSuffix, suffix);
        QCOMPARE(feedback.options.has_value(), coloured);
        if (coloured)
            QCOMPARE(*feedback.options, greenFor(standard));
    }

    void colours()
    {
        QCOMPARE(tintColor(Tint::Ticked), QColor(255, 0, 0));         // 255
        QCOMPARE(tintColor(Tint::Unticked), QColor(0, 192, 192));     // 0xC0C000 as BGR
        QCOMPARE(tintColor(Tint::StandardOption), QColor(0, 255, 0)); // 65280
        QCOMPARE(tintColor(Tint::ReviewWrong), QColor(192, 0, 0));    // 192
        QVERIFY(!tintColor(Tint::ButtonFace).has_value());
    }

    void reviewButtons_data()
    {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<double>("answer");
        QTest::addColumn<int>("tint");
        QTest::newRow("right") << QStringLiteral("24") << 24.0 << int(Tint::ReviewRight);
        QTest::newRow("wrong") << QStringLiteral("24") << 2.0 << int(Tint::ReviewWrong);
        QTest::newRow("unanswered with standard")
            << QStringLiteral("24") << 0.0 << int(Tint::ReviewWrong);
        QTest::newRow("unanswered without standard") << QString() << 0.0 << int(Tint::ReviewRight);
    }
    void reviewButtons()
    {
        QFETCH(QString, standard);
        QFETCH(double, answer);
        QFETCH(int, tint);
        QCOMPARE(int(reviewButtonTint(standard, answer)), tint);
    }
};

QTEST_GUILESS_MAIN(TestAnswerFeedback)
#include "tst_answer_feedback.moc"
