#include "platform/xlsx/cell_address.h"

#include <QTest>

using namespace xlsx;

class TestCellAddress : public QObject
{
    Q_OBJECT

private slots:
    void shouldNameAndReadCells_data();
    void shouldNameAndReadCells();
    void shouldRefuseTextThatIsNoCell_data();
    void shouldRefuseTextThatIsNoCell();
    void shouldNameEveryColumnUniquelyAndInOrder();
};

void TestCellAddress::shouldNameAndReadCells_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 1 << 1 << "A1";
    QTest::newRow("last single letter") << 7 << 26 << "Z7";
    QTest::newRow("first double letter") << 10 << 27 << "AA10";
    QTest::newRow("AZ") << 5 << 52 << "AZ5";
    QTest::newRow("BA") << 5 << 53 << "BA5";
    QTest::newRow("ZZ") << 2 << 702 << "ZZ2";
    QTest::newRow("AAA") << 2 << 703 << "AAA2";
    QTest::newRow("answer grid, 200 questions") << 2005 << 203 << "GU2005";
    QTest::newRow("last cell of a sheet") << maxRows << maxColumns << "XFD1048576";
}

void TestCellAddress::shouldNameAndReadCells()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, name);
    QCOMPARE(cellName(CellPosition{row, column}), name);
    QCOMPARE(parseCellName(name), std::optional(CellPosition{row, column}));
    QCOMPARE(parseCellName(name.toLower()), std::optional(CellPosition{row, column}));
    const QByteArray bytes = name.toLatin1();
    QCOMPARE(columnOfCellName(QByteArrayView(bytes)), column);
}

void TestCellAddress::shouldRefuseTextThatIsNoCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("letters only") << "AB";
    QTest::newRow("digits only") << "12";
    QTest::newRow("digits first") << "1A";
    QTest::newRow("row zero") << "A0";
    QTest::newRow("column beyond XFD") << "XFE1";
    QTest::newRow("row beyond the sheet") << "A1048577";
    QTest::newRow("huge row") << "A99999999999999999999";
    QTest::newRow("trailing letters") << "A1B";
    QTest::newRow("blank inside") << "A 1";
    QTest::newRow("range") << "A1:B2";
    QTest::newRow("Chinese") << "甲1";
}

void TestCellAddress::shouldRefuseTextThatIsNoCell()
{
    QFETCH(QString, text);
    QVERIFY(!parseCellName(text).has_value());
}

void TestCellAddress::shouldNameEveryColumnUniquelyAndInOrder()
{
    QByteArray previous;
    for (int column = 1; column <= maxColumns; ++column) {
        const QByteArray name = columnName(column);
        QVERIFY(previous.size() < name.size() ||
                (previous.size() == name.size() && previous < name));
        QCOMPARE(columnOfCellName(QByteArrayView(name)), column);
        previous = name;
    }
    QVERIFY(columnName(0).isEmpty());
    QVERIFY(columnName(maxColumns + 1).isEmpty());
    QVERIFY(cellName(0, 1).isEmpty());
}

QTEST_APPLESS_MAIN(TestCellAddress)
#include "tst_celladdress.moc"
