#include "package_builder.h"
#include "platform/xlsx/workbook.h"
#include "platform/xlsx/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <pugixml.hpp>

using namespace xlsx;

namespace {

const QString defaultTemplate = QStringLiteral(EXAM_TEMPLATES_DIR "/score.xlt");

QByteArray partOf(const QString &path, const QByteArray &name)
{
    const ZipReadResult read = readZip(path);
    for (const ZipEntry &entry : read.entries) {
        if (entry.name == name)
            return entry.data;
    }
    return {};
}

bool hasPart(const QString &path, const QByteArray &name)
{
    const ZipReadResult read = readZip(path);
    return std::any_of(read.entries.begin(), read.entries.end(),
                       [&](const ZipEntry &e) { return e.name == name; });
}

// The r attributes of the rows and cells of a worksheet part, in document order.
QStringList cellOrder(const QByteArray &sheetXml)
{
    pugi::xml_document doc;
    doc.load_buffer(sheetXml.constData(), size_t(sheetXml.size()));
    QStringList order;
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
        order << QStringLiteral("row%1").arg(QString::fromUtf8(row.attribute("r").value()));
        for (pugi::xml_node c : row.children("c"))
            order << QString::fromUtf8(c.attribute("r").value());
    }
    return order;
}

} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void shouldOpenTheDefaultTemplate();
    void shouldKeepRowsAndCellsInOrder_data();
    void shouldKeepRowsAndCellsInOrder();
    void shouldReadBackTextExactly_data();
    void shouldReadBackTextExactly();
    void shouldStoreNumbersAsNumberCells_data();
    void shouldStoreNumbersAsNumberCells();
    void shouldKeepTheTemplatesCellsStylesAndWidths();
    void shouldGiveNewCellsTheFormatOfTheirRowOrColumn();
    void shouldSaveATemplateAsAWorkbook();
    void shouldRefuseWhatItCannotWrite();
    void shouldRefuseBrokenFiles_data();
    void shouldRefuseBrokenFiles();
    void shouldNumberRowsAndCellsThatLeaveTheirNumberOut();
    void shouldDropTheCalculationChainOfAnOverwrittenFormula();
    void shouldReplaceAFileCompletelyOrNotAtAll();

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QTemporaryDir m_folder;
};

void TestWorkbook::shouldOpenTheDefaultTemplate()
{
    Workbook book;
    QVERIFY2(book.open(defaultTemplate), qPrintable(book.errorString()));
    QVERIFY(book.isTemplate());
    QCOMPARE(book.sheetCount(), 6);
    for (int sheet = 1; sheet <= 6; ++sheet)
        QVERIFY(book.isWorksheet(sheet));
    QVERIFY(!book.isWorksheet(7));
    QCOMPARE(book.sheetName(5), QStringLiteral("试卷质量"));
    QCOMPARE(book.sheetName(6), QStringLiteral("题目质量"));
    QCOMPARE(book.cell(5, QStringLiteral("A9")).text, QStringLiteral("测量标准误"));
    QCOMPARE(book.cell(6, QStringLiteral("P1")).text, QStringLiteral("提示"));
    QCOMPARE(book.sheetName(1), QStringLiteral("学生成绩"));
    QCOMPARE(book.cell(1, QStringLiteral("B5")).text, QStringLiteral("考生姓名"));
    QCOMPARE(book.cell(2, QStringLiteral("A6")).text, QStringLiteral("平均分"));
    QCOMPARE(book.cell(3, QStringLiteral("C5")).text, QStringLiteral("得分率%"));
    QCOMPARE(book.cell(4, QStringLiteral("C5")).text, QStringLiteral("曾用名"));
    QCOMPARE(book.cell(1, QStringLiteral("B2")).type, CellType::Empty);
}

void TestWorkbook::shouldKeepRowsAndCellsInOrder_data()
{
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("in order") << QStringList{"A1", "B1", "A2"}
                              << QStringList{"row1", "A1", "B1", "row2", "A2", "row3", "C3"};
    QTest::newRow("backwards") << QStringList{"B2", "A2", "B1", "A1"}
                               << QStringList{"row1", "A1", "B1", "row2", "A2", "B2", "row3", "C3"};
    QTest::newRow("around the template's cell")
        << QStringList{"B3", "D3", "A3", "Z3"} << QStringList{"row3", "A3", "B3", "C3", "D3", "Z3"};
    QTest::newRow("far columns and rows")
        << QStringList{"AA10", "Z10", "AB10", "B2000"}
        << QStringList{"row3", "C3", "row10", "Z10", "AA10", "AB10", "row2000", "B2000"};
    QTest::newRow("same cell twice") << QStringList{"C3", "C3"} << QStringList{"row3", "C3"};
}

void TestWorkbook::shouldKeepRowsAndCellsInOrder()
{
    QFETCH(QStringList, writes);
    QFETCH(QStringList, expected);
    // The template holds C3 only.
    PackageBuilder builder;
    builder.sheets << PackageBuilder::worksheet(
        "<row r=\"3\"><c r=\"C3\" t=\"inlineStr\"><is><t>x</t></is></c></row>");
    const QString source = path(QStringLiteral("order.xltx"));
    QVERIFY(builder.write(source));

    Workbook book;
    QVERIFY2(book.open(source), qPrintable(book.errorString()));
    for (const QString &cell : writes)
        QVERIFY(book.setText(1, cell, cell));
    const QString target = path(QStringLiteral("order.xlsx"));
    QVERIFY2(book.save(target), qPrintable(book.errorString()));

    QCOMPARE(cellOrder(partOf(target, "xl/worksheets/sheet1.xml")), expected);

    Workbook saved;
    QVERIFY(saved.open(target));
    QVERIFY(!saved.isTemplate());
    for (const QString &cell : writes)
        QCOMPARE(saved.cell(1, cell).text, cell);
    QCOMPARE(saved.cell(1, QStringLiteral("C3")).text,
             writes.contains(QStringLiteral("C3")) ? QStringLiteral("C3") : QStringLiteral("x"));
}

void TestWorkbook::shouldReadBackTextExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Chinese name") << QStringLiteral("欧阳小明");
    QTest::newRow("rare character outside the basic plane") << QStringLiteral("𠮷野");
    QTest::newRow("blanks around") << QStringLiteral("  张三 ");
    QTest::newRow("markup characters") << QStringLiteral("<b>&amp;\"'");
    QTest::newRow("control characters") << QStringLiteral("a\x01\x1f"
                                                          "b\r\n");
    QTest::newRow("literal escape") << QStringLiteral("_x0041_");
    QTest::newRow("digits kept as text") << QStringLiteral("00:12:40");
}

void TestWorkbook::shouldReadBackTextExactly()
{
    QFETCH(QString, text);
    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    QVERIFY(book.setText(1, 6, 2, text));
    const QString target = path(QStringLiteral("text.xlsx"));
    QVERIFY2(book.save(target), qPrintable(book.errorString()));

    Workbook saved;
    QVERIFY(saved.open(target));
    const Cell cell = saved.cell(1, 6, 2);
    QCOMPARE(cell.type, CellType::Text);
    QCOMPARE(cell.text, text);
}

void TestWorkbook::shouldStoreNumbersAsNumberCells_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 1003.0 << "1003";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("average") << 245.0 / 3 << "81.66666666666667";
    QTest::newRow("percentage") << 100.0 / 3 << "33.333333333333336";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("large") << 1e20 << "1e+20";
}

void TestWorkbook::shouldStoreNumbersAsNumberCells()
{
    QFETCH(double, value);
    QFETCH(QString, stored);
    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    QVERIFY(book.setText(2, 6, 2, QStringLiteral("replaced")));
    QVERIFY(book.setNumber(2, QStringLiteral("B6"), value));
    const QString target = path(QStringLiteral("number.xlsx"));
    QVERIFY(book.save(target));

    Workbook saved;
    QVERIFY(saved.open(target));
    const Cell cell = saved.cell(2, QStringLiteral("B6"));
    QCOMPARE(cell.type, CellType::Number);
    QCOMPARE(cell.number, value);
    QCOMPARE(cell.text, stored);
    QVERIFY(!partOf(target, "xl/worksheets/sheet2.xml").contains("inlineStr"));
}

void TestWorkbook::shouldKeepTheTemplatesCellsStylesAndWidths()
{
    Workbook template_;
    QVERIFY(template_.open(defaultTemplate));
    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    for (int sheet = 1; sheet <= 4; ++sheet) {
        QVERIFY(book.setText(sheet, QStringLiteral("B2"), QStringLiteral("期中考试")));
        for (int row = 6; row < 40; ++row) {
            for (int column = 1; column <= 8; ++column)
                QVERIFY(book.setNumber(sheet, row, column, row * column));
        }
    }
    const QString target = path(QStringLiteral("kept.xlsx"));
    QVERIFY(book.save(target));

    Workbook saved;
    QVERIFY(saved.open(target));
    for (int sheet = 1; sheet <= 4; ++sheet) {
        for (const Cell &before : template_.cells(sheet)) {
            const Cell after = saved.cell(sheet, before.position.row, before.position.column);
            QCOMPARE(after.style, before.style);
            if (before.position.row < 6 && before.position != CellPosition{2, 2})
                QCOMPARE(after.text, before.text);
        }
        QCOMPARE(saved.sheetName(sheet), template_.sheetName(sheet));
    }
    QCOMPARE(partOf(target, "xl/styles.xml"), partOf(defaultTemplate, "xl/styles.xml"));
    QCOMPARE(partOf(target, "xl/sharedStrings.xml"),
             partOf(defaultTemplate, "xl/sharedStrings.xml"));
    for (const QByteArray sheetPart : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet4.xml"}) {
        const QByteArray before = partOf(defaultTemplate, sheetPart);
        const QByteArray after = partOf(target, sheetPart);
        for (const char *element : {"<cols>", "<mergeCells", "<sheetViews>", "<pageSetup"}) {
            const qsizetype start = before.indexOf(element);
            QVERIFY(start >= 0);
            const qsizetype end =
                before.indexOf('>', before.indexOf(element[1] == 'p' ? "/>" : "</", start));
            QVERIFY2(after.contains(before.mid(start, end - start)), element);
        }
    }
    // The used range now covers the written rows.
    QVERIFY(partOf(target, "xl/worksheets/sheet1.xml").contains("<dimension ref=\"A1:H39\"/>"));
}

void TestWorkbook::shouldGiveNewCellsTheFormatOfTheirRowOrColumn()
{
    // Columns B:D format new cells with 3, column F with 4; row 5 formats its new cells with 2.
    PackageBuilder builder;
    builder.sheets << PackageBuilder::worksheet(
        "<row r=\"5\" s=\"2\" customFormat=\"1\"><c r=\"A5\" s=\"7\"/></row>"
        "<row r=\"6\" s=\"9\"/>",
        "<cols><col min=\"2\" max=\"4\" width=\"9\" style=\"3\"/>"
        "<col min=\"6\" max=\"6\" width=\"9\" style=\"4\"/></cols>");
    const QString source = path(QStringLiteral("styles.xltx"));
    QVERIFY(builder.write(source));
    Workbook book;
    QVERIFY2(book.open(source), qPrintable(book.errorString()));

    const std::pair<const char *, int> expected[] = {
        {"C5", 2},              // the heading row's format wins over the column's
        {"A5", 7},              // a cell of the template keeps its own
        {"B6", 3},              // a row without its own format: the column's
        {"D7", 3},              // a new row
        {"F6", 4},  {"E6", -1}, // neither row nor column formats it
        {"A9", -1},
    };
    for (const auto &[cell, style] : expected) {
        QVERIFY(book.setNumber(1, QString::fromLatin1(cell), 1));
        QCOMPARE(book.cell(1, QString::fromLatin1(cell)).style, style);
    }
    // The default template: the heading row of the answer grid formats the question columns.
    Workbook defaults;
    QVERIFY(defaults.open(defaultTemplate));
    QVERIFY(defaults.setText(4, QStringLiteral("D5"), QStringLiteral("题号1")));
    QCOMPARE(defaults.cell(4, QStringLiteral("D5")).style,
             defaults.cell(4, QStringLiteral("A5")).style);
}

void TestWorkbook::shouldSaveATemplateAsAWorkbook()
{
    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    const QString target = path(QStringLiteral("type.xlsx"));
    QVERIFY(book.save(target));
    const QByteArray types = partOf(target, "[Content_Types].xml");
    QVERIFY(types.contains(
        "\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
        "spreadsheetml.sheet.main+xml\""));
    QVERIFY(!types.contains("template.main+xml"));
    QCOMPARE(readZip(target).entries.front().name, QByteArray("[Content_Types].xml"));
    // Unchanged parts stay byte for byte.
    QCOMPARE(partOf(target, "xl/worksheets/sheet3.xml"),
             partOf(defaultTemplate, "xl/worksheets/sheet3.xml"));
}

void TestWorkbook::shouldRefuseWhatItCannotWrite()
{
    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    QVERIFY(!book.setText(7, QStringLiteral("A1"), QStringLiteral("x")));
    QVERIFY(!book.setText(0, QStringLiteral("A1"), QStringLiteral("x")));
    QVERIFY(!book.setText(1, QStringLiteral("A0"), QStringLiteral("x")));
    QVERIFY(book.errorString().contains(QStringLiteral("A0")));
    QVERIFY(!book.setNumber(1, 1, maxColumns + 1, 1));
    QVERIFY(!book.setNumber(1, QStringLiteral("A1"), std::numeric_limits<double>::quiet_NaN()));
    QVERIFY(!book.setNumber(1, QStringLiteral("A1"), std::numeric_limits<double>::infinity()));
    // Nothing of that reached the sheet.
    QCOMPARE(book.cell(1, QStringLiteral("A1")).text, QStringLiteral("学生考试成绩表"));
    QVERIFY(!book.save(path(QStringLiteral("no/such/folder/out.xlsx"))));
    QVERIFY(book.errorString().contains(QStringLiteral("out.xlsx")));
    Workbook empty;
    QVERIFY(!empty.save(path(QStringLiteral("empty.xlsx"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("empty.xlsx"))));
}

void TestWorkbook::shouldRefuseBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("missing file") << QByteArray("missing");
    QTest::newRow("old binary template") << QByteArray("binary");
    QTest::newRow("no content types") << QByteArray("no-types");
    QTest::newRow("word document") << QByteArray("word");
    QTest::newRow("sheet part missing") << QByteArray("no-sheet");
    QTest::newRow("sheet not XML") << QByteArray("bad-xml");
    QTest::newRow("sheet without sheetData") << QByteArray("no-sheetdata");
    QTest::newRow("rows out of order") << QByteArray("row-order");
    QTest::newRow("no sheets") << QByteArray("no-sheets");
}

void TestWorkbook::shouldRefuseBrokenFiles()
{
    QFETCH(QByteArray, kind);
    const QString file = path(QString::fromLatin1(kind) + QStringLiteral(".xlt"));
    PackageBuilder builder;
    builder.sheets << PackageBuilder::worksheet("<row r=\"1\"/>");
    if (kind == "binary") {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(1024, '\0'));
    } else if (kind != "missing") {
        if (kind == "no-types")
            builder.withContentTypes = false;
        if (kind == "word")
            builder.workbookType = "application/vnd.openxmlformats-officedocument."
                                   "wordprocessingml.document.main+xml";
        if (kind == "bad-xml")
            builder.sheets[0] = "<worksheet><sheetData><row>";
        if (kind == "no-sheetdata")
            builder.sheets[0] = "<worksheet/>";
        if (kind == "row-order")
            builder.sheets[0] = PackageBuilder::worksheet("<row r=\"5\"/><row r=\"2\"/>");
        if (kind == "no-sheets")
            builder.sheets.clear();
        std::vector<ZipEntry> entries = builder.entries();
        if (kind == "no-sheet")
            std::erase_if(entries, [](const ZipEntry &e) { return e.name.contains("sheet1"); });
        const ZipWriteResult packed = writeZip(entries);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(packed.bytes);
    }
    Workbook book;
    QVERIFY(!book.open(file));
    QVERIFY(!book.errorString().isEmpty());
    QCOMPARE(book.sheetCount(), 0);
    QVERIFY(!book.setText(1, QStringLiteral("A1"), QStringLiteral("x")));
}

void TestWorkbook::shouldNumberRowsAndCellsThatLeaveTheirNumberOut()
{
    PackageBuilder builder;
    builder.sheets << PackageBuilder::worksheet("<row><c><v>1</v></c><c><v>2</v></c></row><row><c "
                                                "t=\"inlineStr\"><is><t>b</t></is></c></row>");
    const QString source = path(QStringLiteral("implicit.xltx"));
    QVERIFY(builder.write(source));
    Workbook book;
    QVERIFY2(book.open(source), qPrintable(book.errorString()));
    QCOMPARE(book.cell(1, QStringLiteral("B1")).number, 2.0);
    QCOMPARE(book.cell(1, QStringLiteral("A2")).text, QStringLiteral("b"));
    QVERIFY(book.setNumber(1, QStringLiteral("C1"), 3));
    QVERIFY(book.setNumber(1, QStringLiteral("A1"), 9));
    const QString target = path(QStringLiteral("implicit.xlsx"));
    QVERIFY(book.save(target));
    QCOMPARE(cellOrder(partOf(target, "xl/worksheets/sheet1.xml")),
             (QStringList{"row1", "A1", "B1", "C1", "row2", "A2"}));
    Workbook saved;
    QVERIFY(saved.open(target));
    QCOMPARE(saved.cell(1, QStringLiteral("A1")).number, 9.0);
}

void TestWorkbook::shouldDropTheCalculationChainOfAnOverwrittenFormula()
{
    PackageBuilder builder;
    builder.sheets << PackageBuilder::worksheet(
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1*2</f><v>2</v></c></row>");
    builder.extras << std::pair<QByteArray, QByteArray>("calcChain.xml", "calcChain");
    builder.extraParts.push_back({"xl/calcChain.xml", "<calcChain xmlns=\"http://schemas."
                                                      "openxmlformats.org/spreadsheetml/2006/"
                                                      "main\"><c r=\"B1\" i=\"1\"/></calcChain>"});
    const QString source = path(QStringLiteral("formula.xltx"));
    QVERIFY(builder.write(source));

    Workbook keep;
    QVERIFY(keep.open(source));
    QVERIFY(keep.cell(1, QStringLiteral("B1")).hasFormula);
    QVERIFY(keep.setNumber(1, QStringLiteral("A1"), 5));
    const QString kept = path(QStringLiteral("formula-kept.xlsx"));
    QVERIFY(keep.save(kept));
    QVERIFY(hasPart(kept, "xl/calcChain.xml"));
    // The formula reads a new value: it must be worked out again on opening.
    QVERIFY(partOf(kept, "xl/workbook.xml").contains("<calcPr fullCalcOnLoad=\"1\"/>"));

    Workbook overwrite;
    QVERIFY(overwrite.open(source));
    QVERIFY(overwrite.setNumber(1, QStringLiteral("B1"), 7));
    const QString target = path(QStringLiteral("formula.xlsx"));
    QVERIFY(overwrite.save(target));
    QVERIFY(!hasPart(target, "xl/calcChain.xml"));
    QVERIFY(!partOf(target, "xl/_rels/workbook.xml.rels").contains("calcChain"));
    QVERIFY(!partOf(target, "[Content_Types].xml").contains("calcChain"));
    Workbook saved;
    QVERIFY2(saved.open(target), qPrintable(saved.errorString()));
    QVERIFY(!saved.cell(1, QStringLiteral("B1")).hasFormula);
    QCOMPARE(saved.cell(1, QStringLiteral("B1")).number, 7.0);
}

void TestWorkbook::shouldReplaceAFileCompletelyOrNotAtAll()
{
    const QString target = path(QStringLiteral("replace.xlsx"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    Workbook book;
    QVERIFY(book.open(defaultTemplate));
    QVERIFY(book.setText(1, QStringLiteral("B2"), QStringLiteral("期末")));
    QVERIFY(book.save(target));
    Workbook saved;
    QVERIFY2(saved.open(target), qPrintable(saved.errorString()));
    QCOMPARE(saved.cell(1, QStringLiteral("B2")).text, QStringLiteral("期末"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_folder.path()).entryList({QStringLiteral("replace*")}, QDir::Files).size(), 1);
}

QTEST_APPLESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
