#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace xlsx {

// A cell position, 1-based: row 1 is the first row, column 1 is column A.
struct CellPosition
{
    int row = 0;
    int column = 0;
    friend bool operator==(const CellPosition &, const CellPosition &) = default;
};

// The largest sheet a workbook can hold.
inline constexpr int maxRows = 1048576;
inline constexpr int maxColumns = 16384;

// "A" for 1, "Z" for 26, "AA" for 27 … "XFD" for 16384; empty outside that range.
QByteArray columnName(int column);
// "B2" for row 2, column 2; empty outside the sheet.
QByteArray cellName(int row, int column);
QString cellName(const CellPosition &position);
// Reads "B2" or "$B$2" (letters in either case); nothing for any other text or a cell outside
// the sheet.
std::optional<CellPosition> parseCellName(QByteArrayView text);
std::optional<CellPosition> parseCellName(const QString &text);
// The column of a cell name such as "AB12" (0 when there is none).
int columnOfCellName(QByteArrayView text);

} // namespace xlsx
