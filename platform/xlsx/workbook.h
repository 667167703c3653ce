#pragma once

#include "cell_address.h"

#include <QString>
#include <memory>
#include <vector>

namespace xlsx {

enum class CellType { Empty, Number, Text, Boolean, Error };

// What a cell holds, as read back from the workbook.
struct Cell
{
    CellPosition position;
    CellType type = CellType::Empty;
    QString text;      // the text of a text cell; the stored form of any other value
    double number = 0; // the value of a number cell
    int style = -1;    // the cell's format index; -1 when the cell names none
    bool hasFormula = false;
};

// An OOXML spreadsheet (a workbook or a workbook template) opened from a file: cells are written
// by address into its worksheets, everything else (styles, column widths, other cells, further
// parts) is kept, and the result is saved as a workbook (.xlsx). Worksheets are addressed by
// their position among the workbook's sheets, 1 for the first tab.
//
// Functions that can fail return false and set errorString(); the error texts are for the user.
class Workbook
{
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Reads the file at path. Fails on a missing file, a file that is not an OOXML spreadsheet
    // (an old binary .xls/.xlt included) and on damaged parts.
    [[nodiscard]] bool open(const QString &path);
    // True when the file opened was a template (.xltx content type).
    bool isTemplate() const;

    int sheetCount() const;
    QString sheetName(int sheet) const;
    // False for positions out of range and for chart sheets.
    bool isWorksheet(int sheet) const;

    // Writes a text cell, kept as inline text. An empty text empties the cell (its style stays).
    bool setText(int sheet, int row, int column, const QString &text);
    bool setText(int sheet, const QString &cell, const QString &text);
    // Writes a number cell; infinities and NaN are refused.
    bool setNumber(int sheet, int row, int column, double value);
    bool setNumber(int sheet, const QString &cell, double value);

    // The cell at that place (type Empty when the sheet has nothing there).
    Cell cell(int sheet, int row, int column) const;
    Cell cell(int sheet, const QString &cell) const;
    // Every cell element of the sheet, empty ones included, in sheet order.
    std::vector<Cell> cells(int sheet) const;

    // Stores the workbook at path as an .xlsx workbook, atomically: the file is either the old
    // one or the complete new one.
    [[nodiscard]] bool save(const QString &path);

    QString errorString() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace xlsx
