#pragma once

#include "cell_address.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <pugixml.hpp>
#include <vector>

namespace xlsx {

// How every part of a workbook is read: declarations kept, a text of blanks alone kept.
inline constexpr unsigned XmlParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// A part's XML as stored: UTF-8, no added indentation.
QByteArray xmlBytes(const pugi::xml_document &doc);

// One worksheet part held as XML. Finds and creates rows and cells in the order the format
// requires (rows ascending by number inside sheetData, cells ascending by column inside a row)
// and leaves every other element of the sheet as it was.
class WorksheetXml
{
public:
    // False with a message when the text is not XML or not a worksheet.
    [[nodiscard]] bool parse(const QByteArray &xml, QString *error);
    QByteArray serialize();

    // The cell element, or a null node when the sheet has none there.
    pugi::xml_node findCell(int row, int column) const;
    // The cell element, created (with the style its row or column gives new cells) when absent.
    pugi::xml_node cellForWriting(int row, int column);

    // Every cell element with its position, rows and cells in sheet order.
    template <typename Visit> void forEachCell(Visit visit) const
    {
        for (const auto &[rowNumber, row] : m_rows) {
            for (pugi::xml_node c = row.child("c"); c; c = c.next_sibling("c"))
                visit(CellPosition{rowNumber, columnOfCellName(c.attribute("r").value())}, c);
        }
    }

    bool hasFormulas() const;

private:
    pugi::xml_node rowForWriting(int row);
    void giveCellNames(pugi::xml_node row, int rowNumber);
    int newCellStyle(pugi::xml_node row, int column) const;
    void updateDimension();

    pugi::xml_document m_doc;
    pugi::xml_node m_sheetData;
    std::map<int, pugi::xml_node> m_rows;
    struct ColumnStyle
    {
        int first;
        int last;
        int style;
    };
    std::vector<ColumnStyle> m_columnStyles;
    // The used range grown by the cells written since parsing.
    CellPosition m_writtenFirst{maxRows + 1, maxColumns + 1};
    CellPosition m_writtenLast{0, 0};
};

} // namespace xlsx
