#include "proctor/classes/class_table_model.h"
#include "repository/profile_values.h"

#include <QTest>

using exam::ClassEntry;
using exam::ClassTableModel;
using Field = ClassTableModel::Field;

Q_DECLARE_METATYPE(std::optional<QString>)

class TestClassTableModel : public QObject
{
    Q_OBJECT

private slots:
    void shouldKeepTheRangeWhenTheLastNumberIsConfirmed_data();
    void shouldKeepTheRangeWhenTheLastNumberIsConfirmed();
    void shouldMoveTheLastNumberUpWithTheFirstNumber_data();
    void shouldMoveTheLastNumberUpWithTheFirstNumber();
    void shouldShowButNotStoreTheLastNumberWhenTheFirstNumberIsLeft();
    void shouldNormaliseTheSizeWhenConfirmed_data();
    void shouldNormaliseTheSizeWhenConfirmed();
    void shouldAddOnlyAcceptableNewNames_data();
    void shouldAddOnlyAcceptableNewNames();
    void shouldRemoveTheFirstClassWhenNoneIsSelected();
    void shouldMoveRowsWithTheirNumbers_data();
    void shouldMoveRowsWithTheirNumbers();
    void shouldStoreNothingWhileNoClassIsSelected();
    void shouldReadFieldNumbersByTheNumberRuleWithinSixteenBits_data();
    void shouldReadFieldNumbersByTheNumberRuleWithinSixteenBits();
};

namespace {

QList<ClassEntry> threeClasses()
{
    return {{QStringLiteral("高一(1)班"), 40, 1001, 1040},
            {QStringLiteral("高一(2)班"), 45, 2001, 2045},
            {QStringLiteral("高一(3)班"), 30, 3001, 3050}};
}

// Types `text` into the first-number field one character at a time, as a teacher would after
// selecting the old text; returns the last refusal.
ClassTableModel::Refusal typeFirstNumber(ClassTableModel &model, const QString &text)
{
    ClassTableModel::Refusal last;
    for (qsizetype length = 1; length <= text.size(); ++length) {
        const auto refusal = model.firstNumberChanged(text.left(length));
        if (refusal.isRefused())
            last = refusal;
    }
    return last;
}

} // namespace

void TestClassTableModel::shouldKeepTheRangeWhenTheLastNumberIsConfirmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("storedLast");
    QTest::addColumn<QString>("shownLast");

    // Size 40, first number 1001, stored last number 1040.
    QTest::newRow("range too small")
        << "1030" << exam::LastNumberTooSmallMessage << 1040 << " 1040";
    QTest::newRow("exactly the size") << "1040" << QString() << 1040 << "1040";
    QTest::newRow("larger range") << "1050" << QString() << 1050 << "1050";
    QTest::newRow("one short") << "1039" << exam::LastNumberTooSmallMessage << 1040 << " 1040";
    QTest::newRow("no number") << "abc" << exam::LastNumberTooSmallMessage << 1040 << " 1040";
    QTest::newRow("beyond 16 bits") << "40000" << exam::NumberOutOfRangeMessage << 1040 << " 1040";
    QTest::newRow("far below 16 bits")
        << "-99999" << exam::NumberOutOfRangeMessage << 1040 << " 1040";
}

void TestClassTableModel::shouldKeepTheRangeWhenTheLastNumberIsConfirmed()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, storedLast);
    QFETCH(QString, shownLast);

    ClassTableModel model;
    model.load(threeClasses());
    model.setFieldText(Field::Last, typed);
    const auto refusal = model.lastNumberConfirmed();

    QCOMPARE(refusal.message, message);
    QCOMPARE(refusal.refocus, !message.isEmpty());
    QCOMPARE(model.classes().at(0).last, storedLast);
    QCOMPARE(model.fieldText(Field::Last), shownLast);
}

void TestClassTableModel::shouldMoveTheLastNumberUpWithTheFirstNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("storedFirst");
    QTest::addColumn<int>("storedLast");
    QTest::addColumn<QString>("shownFirst");
    QTest::addColumn<QString>("shownLast");

    // Size 40, first number 1001, last number 1040; typed one character at a time, so the last
    // number follows every prefix that is accepted.
    QTest::newRow("pushes the last number") << "1010" << QString() << 1010 << 1049 << "1010"
                                            << " 1049";
    QTest::newRow("room to spare") << "990" << QString() << 990 << 1040 << "990"
                                   << "1040";
    QTest::newRow("leading zeros") << "01001" << QString() << 1001 << 1040 << "1001"
                                   << "1040";
    QTest::newRow("trailing text") << "1020号" << QString() << 1020 << 1059 << "1020"
                                   << " 1059";
    QTest::newRow("last number would pass 32767")
        << "32760" << exam::NumberOutOfRangeMessage << 3276 << 3315 << "3276"
        << " 3315";
    QTest::newRow("beyond 16 bits")
        << "40000" << exam::NumberOutOfRangeMessage << 4000 << 4039 << "4000"
        << " 4039";
}

void TestClassTableModel::shouldMoveTheLastNumberUpWithTheFirstNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, storedFirst);
    QFETCH(int, storedLast);
    QFETCH(QString, shownFirst);
    QFETCH(QString, shownLast);

    ClassTableModel model;
    model.load(threeClasses());
    const auto refusal = typeFirstNumber(model, typed);
    model.firstNumberLeft();
    model.firstNumberConfirmed();

    QCOMPARE(refusal.message, message);
    QCOMPARE(model.classes().at(0).first, storedFirst);
    QCOMPARE(model.classes().at(0).last, storedLast);
    QCOMPARE(model.fieldText(Field::First), shownFirst);
    QCOMPARE(model.fieldText(Field::Last), shownLast);
    const ClassEntry &entry = model.classes().at(0);
    QVERIFY(entry.size <= entry.last - entry.first + 1);
}

void TestClassTableModel::shouldShowButNotStoreTheLastNumberWhenTheFirstNumberIsLeft()
{
    ClassTableModel model;
    model.load(threeClasses());
    // The size was raised without looking at the range; leaving the first number shows the last
    // number the range needs, but only the first number's own change stores it.
    model.setFieldText(Field::Size, QStringLiteral("60"));
    QVERIFY(!model.sizeConfirmed().isRefused());
    model.firstNumberLeft();
    QCOMPARE(model.fieldText(Field::Last), QStringLiteral(" 1060"));
    QCOMPARE(model.classes().at(0).last, 1040);
    QCOMPARE(model.classes().at(0).size, 60);
}

void TestClassTableModel::shouldNormaliseTheSizeWhenConfirmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stored");

    QTest::newRow("leading zero") << "045" << false << "45" << 45;
    QTest::newRow("no number") << "abc" << false << "0" << 0;
    QTest::newRow("blanks and text") << "  38 人" << false << "38" << 38;
    QTest::newRow("half rounds to even") << "40.5" << false << "40" << 40;
    QTest::newRow("largest 16-bit") << "32767" << false << "32767" << 32767;
    QTest::newRow("beyond 16 bits") << "32768" << true << "40" << 40;
}

void TestClassTableModel::shouldNormaliseTheSizeWhenConfirmed()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    QFETCH(int, stored);

    ClassTableModel model;
    model.load(threeClasses());
    model.setFieldText(Field::Size, typed);
    const auto refusal = model.sizeConfirmed();
    QCOMPARE(refusal.isRefused(), refused);
    if (refused)
        QCOMPARE(refusal.message, exam::NumberOutOfRangeMessage);
    QCOMPARE(model.fieldText(Field::Size), shown);
    QCOMPARE(model.classes().at(0).size, stored);
}

void TestClassTableModel::shouldAddOnlyAcceptableNewNames_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<bool>("added");
    QTest::addColumn<bool>("saysWhy");

    QTest::newRow("new name") << std::optional<QString>(QStringLiteral("高一(4)班")) << true
                              << false;
    QTest::newRow("new name with blanks")
        << std::optional<QString>(QStringLiteral("  高一(4)班 ")) << true << false;
    QTest::newRow("duplicate with blanks")
        << std::optional<QString>(QStringLiteral(" 高一(2)班  ")) << false << true;
    QTest::newRow("exact duplicate")
        << std::optional<QString>(QStringLiteral("高一(2)班")) << false << true;
    QTest::newRow("duplicate in other case")
        << std::optional<QString>(QStringLiteral("grade 1a")) << false << true;
    QTest::newRow("empty") << std::optional<QString>(QStringLiteral("   ")) << false << false;
    QTest::newRow("cancelled") << std::optional<QString>() << false << false;
    QTest::newRow("slash") << std::optional<QString>(QStringLiteral("高一/4班")) << false << true;
    QTest::newRow("bracket") << std::optional<QString>(QStringLiteral("高一[4]班")) << false
                             << true;
    QTest::newRow("equals sign") << std::optional<QString>(QStringLiteral("a=b")) << false << true;
    QTest::newRow("count key") << std::optional<QString>(QStringLiteral("classnamecount")) << false
                               << true;
}

void TestClassTableModel::shouldAddOnlyAcceptableNewNames()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(bool, added);
    QFETCH(bool, saysWhy);

    ClassTableModel model;
    model.load(threeClasses() << ClassEntry{QStringLiteral("Grade 1A"), 20, 4001, 4020});
    model.select(1);
    const QString refusal = model.addClass(answer);

    QCOMPARE(!refusal.isEmpty(), saysWhy);
    QCOMPARE(model.count(), added ? 5 : 4);
    QCOMPARE(model.selected(), 1);
    if (added) {
        QCOMPARE(model.classes().last(), (ClassEntry{exam::trimBlanks(*answer), 0, 0, 0}));
    }
}

void TestClassTableModel::shouldRemoveTheFirstClassWhenNoneIsSelected()
{
    ClassTableModel model;
    model.load(threeClasses());
    model.select(-1);
    model.removeSelected();
    QCOMPARE(model.names(),
             (QStringList{QStringLiteral("高一(2)班"), QStringLiteral("高一(3)班")}));
}

void TestClassTableModel::shouldMoveRowsWithTheirNumbers_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("selected");

    QTest::newRow("first up does nothing") << 0 << true << QList<int>{0, 1, 2} << 0;
    QTest::newRow("last down does nothing") << 2 << false << QList<int>{0, 1, 2} << 2;
    QTest::newRow("second up") << 1 << true << QList<int>{1, 0, 2} << 0;
    QTest::newRow("second down") << 1 << false << QList<int>{0, 2, 1} << 2;
    QTest::newRow("nothing selected") << -1 << true << QList<int>{0, 1, 2} << -1;
}

void TestClassTableModel::shouldMoveRowsWithTheirNumbers()
{
    QFETCH(int, row);
    QFETCH(bool, up);
    QFETCH(QList<int>, order);
    QFETCH(int, selected);

    ClassTableModel model;
    const QList<ClassEntry> original = threeClasses();
    model.load(original);
    model.select(row);
    up ? model.moveUp() : model.moveDown();

    for (int i = 0; i < order.size(); ++i)
        QCOMPARE(model.classes().at(i), original.at(order.at(i)));
    QCOMPARE(model.selected(), selected);
    if (selected >= 0)
        QCOMPARE(model.fieldText(Field::Name), model.classes().at(selected).name);
}

void TestClassTableModel::shouldStoreNothingWhileNoClassIsSelected()
{
    ClassTableModel model;
    model.load(threeClasses());
    model.select(1);
    model.removeSelected();
    const QList<ClassEntry> before = model.classes();

    model.setFieldText(Field::Size, QStringLiteral("50"));
    QVERIFY(!model.sizeConfirmed().isRefused());
    QVERIFY(!typeFirstNumber(model, QStringLiteral("500")).isRefused());
    model.firstNumberConfirmed();
    model.setFieldText(Field::Last, QStringLiteral("600"));
    QVERIFY(!model.lastNumberConfirmed().isRefused());

    QCOMPARE(model.classes(), before);
}

void TestClassTableModel::shouldReadFieldNumbersByTheNumberRuleWithinSixteenBits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << "1001" << true << 1001;
    QTest::newRow("leading blank") << " 1049" << true << 1049;
    QTest::newRow("empty") << "" << true << 0;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("lowest") << "-32768" << true << -32768;
    QTest::newRow("above") << "32767.6" << false << 0;
    QTest::newRow("huge") << "99999999999999999999" << false << 0;
}

void TestClassTableModel::shouldReadFieldNumbersByTheNumberRuleWithinSixteenBits()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QFETCH(int, value);

    const std::optional<qint16> number = exam::classFieldNumber(text);
    QCOMPARE(number.has_value(), fits);
    if (fits)
        QCOMPARE(int(*number), value);
}

QTEST_GUILESS_MAIN(TestClassTableModel)
#include "tst_class_table_model.moc"
