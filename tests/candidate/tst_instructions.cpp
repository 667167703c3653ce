#include "candidate/instructions.h"

#include "repository/profile_file.h"

#include <QTest>

using namespace exam::candidate;

class TestInstructions : public QObject
{
    Q_OBJECT

private:
    static exam::ProfileSnapshot profile(const QByteArray &main)
    {
        return exam::ProfileSnapshot::fromBytes(QByteArrayLiteral("[MAIN]\r\n") + main);
    }

private slots:
    void shouldShowPaperFigures_data()
    {
        QTest::addColumn<QByteArray>("main");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("fullMark");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("count");

        const QByteArray paper =
            QByteArrayLiteral("about_test=  期中考试，请认真作答  \r\nfull_mark= 100\r\n"
                              "TESTTIME=90\r\nQuestion_conut= 50\r\nrnd_test_No=10\r\n");
        QTest::newRow("whole paper")
            << paper << QStringLiteral("  期中考试，请认真作答") << QStringLiteral("100")
            << QStringLiteral("90") << QStringLiteral("50  ");
        QTest::newRow("rnd_test 1 shows the draw and no full mark")
            << (paper + "rnd_test=1\r\n") << QStringLiteral("  期中考试，请认真作答") << QString()
            << QStringLiteral("90") << QStringLiteral("10");
        QTest::newRow("rnd_test 2 shows the whole paper")
            << (paper + "rnd_test=2\r\n") << QStringLiteral("  期中考试，请认真作答")
            << QStringLiteral("100") << QStringLiteral("90") << QStringLiteral("50  ");
        QTest::newRow("rnd_test 1.0 counts as 1")
            << (paper + "rnd_test=1.0\r\nrnd_test_No=007\r\n")
            << QStringLiteral("  期中考试，请认真作答") << QString() << QStringLiteral("90")
            << QStringLiteral("10");
        QTest::newRow("draw count read as a number")
            << QByteArrayLiteral("rnd_test=1\r\nrnd_test_No= 12.5abc\r\n") << QStringLiteral("  0")
            << QString() << QStringLiteral("0") << QStringLiteral("12");
        QTest::newRow("empty profile shows the defaults")
            << QByteArray() << QStringLiteral("  0") << QStringLiteral("0") << QStringLiteral("0")
            << QStringLiteral("0  ");
        QTest::newRow("keys in any letter case")
            << QByteArrayLiteral("ABOUT_TEST=说明\r\ntesttime=45\r\n") << QStringLiteral("  说明")
            << QStringLiteral("0") << QStringLiteral("45") << QStringLiteral("0  ");
    }
    void shouldShowPaperFigures()
    {
        QFETCH(QByteArray, main);
        QFETCH(QString, description);
        QFETCH(QString, fullMark);
        QFETCH(QString, minutes);
        QFETCH(QString, count);
        const InstructionTexts texts = instructionTexts(profile(main), false);
        QCOMPARE(texts.description, description);
        QCOMPARE(texts.fullMark, fullMark);
        QCOMPARE(texts.minutes, minutes);
        QCOMPARE(texts.questionCount, count);
    }

    void shouldCaptionStartButtonByMode_data()
    {
        QTest::addColumn<bool>("review");
        QTest::addColumn<QString>("caption");
        QTest::newRow("exam") << false << QStringLiteral("单击开始考试");
        QTest::newRow("review") << true << QStringLiteral("单击开始查阅试卷");
    }
    void shouldCaptionStartButtonByMode()
    {
        QFETCH(bool, review);
        QFETCH(QString, caption);
        QCOMPARE(instructionTexts(profile({}), review).startCaption, caption);
    }
};

QTEST_GUILESS_MAIN(TestInstructions)
#include "tst_instructions.moc"
