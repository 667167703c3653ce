#include "fuzz_entries.h"

#include "platform/xlsx/workbook.h"

#include <QFile>
#include <QTemporaryDir>

namespace fuzzing {

namespace {

// One folder for the whole run: a fuzzer calls the entry millions of times.
const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int firstWorksheet(const xlsx::Workbook &workbook)
{
    for (int sheet = 1; sheet <= workbook.sheetCount(); ++sheet) {
        if (workbook.isWorksheet(sheet))
            return sheet;
    }
    return 0;
}

} // namespace

bool checkWorkbookBytes(const QByteArray &bytes)
{
    const QString input = scratch().filePath(QStringLiteral("input.xlt"));
    const QString output = scratch().filePath(QStringLiteral("output.xlsx"));
    if (!writeFile(input, bytes))
        return true; // the machine's trouble, not the reader's

    xlsx::Workbook workbook;
    if (!workbook.open(input))
        return !workbook.errorString().isEmpty();
    for (int sheet = 0; sheet <= workbook.sheetCount() + 1; ++sheet) {
        workbook.sheetName(sheet);
        if (workbook.isWorksheet(sheet))
            workbook.cells(sheet);
    }
    const int sheet = firstWorksheet(workbook);
    if (sheet == 0)
        return true;
    const QString text = QStringLiteral("高一(1)班 成绩");
    if (!workbook.setText(sheet, 1, 1, text) || !workbook.setNumber(sheet, 2, 2, 85.5))
        return !workbook.errorString().isEmpty();
    if (!workbook.save(output))
        return !workbook.errorString().isEmpty();

    xlsx::Workbook again;
    return again.open(output) && again.cell(sheet, 1, 1).text == text &&
           again.cell(sheet, 2, 2).number == 85.5;
}

} // namespace fuzzing
