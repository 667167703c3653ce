#include "candidate/exam_clock.h"

#include <QTest>

using namespace exam::candidate;

class TestExamClock : public QObject
{
    Q_OBJECT

private slots:
    void clockText_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("90 minutes") << 90 << QStringLiteral("01:30:00");
        QTest::newRow("546, the old limit") << 546 << QStringLiteral("09:06:00");
        QTest::newRow("547") << 547 << QStringLiteral("09:07:00");
        QTest::newRow("a whole day") << 1440 << QStringLiteral("24:00:00");
        QTest::newRow("16-bit maximum") << 32767 << QStringLiteral("546:07:00");
        QTest::newRow("none") << 0 << QStringLiteral("00:00:00");
        QTest::newRow("negative") << -5 << QStringLiteral("00:00:00");
    }
    void clockText()
    {
        QFETCH(int, minutes);
        QFETCH(QString, text);
        const int seconds = secondsForMinutes(minutes);
        QCOMPARE(::clockText(seconds), text);
        QCOMPARE(parseClockText(text), std::optional<int>(seconds));
    }

    void readsSavedTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("one hour digit") << QStringLiteral("1:29:05") << 5345;
        QTest::newRow("blanks") << QStringLiteral(" 00:00:59 ") << 59;
        QTest::newRow("no seconds") << QStringLiteral("0:10") << 600;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("words") << QStringLiteral("abc") << -1;
        QTest::newRow("minutes out of range") << QStringLiteral("1:75:00") << -1;
        QTest::newRow("negative") << QStringLiteral("-1:00:00") << -1;
    }
    void readsSavedTimes()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        const std::optional<int> parsed = parseClockText(text);
        QCOMPARE(parsed.value_or(-1), seconds);
    }

    void announcesOncePerMinute_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("announced");
        QTest::newRow("seconds dropped") << QStringLiteral("00:09:59") << QStringLiteral("00:09");
        QTest::newRow("long limit") << QStringLiteral("546:07:00") << QStringLiteral("546:07");
        QTest::newRow("not a time") << QStringLiteral("不限时") << QStringLiteral("不限时");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("hours and minutes only") << QStringLiteral("1:29") << QStringLiteral("1:29");
    }
    void announcesOncePerMinute()
    {
        QFETCH(QString, text);
        QFETCH(QString, announced);
        QCOMPARE(announcedClockText(text), announced);
    }
};

QTEST_GUILESS_MAIN(TestExamClock)
#include "tst_exam_clock.moc"
