#include "worksheet_xml.h"

#include <QList>
#include <algorithm>
#include <cstring>

namespace xlsx {
namespace {

bool isTrue(const pugi::xml_attribute &attribute)
{
    return std::strcmp(attribute.value(), "1") == 0 || std::strcmp(attribute.value(), "true") == 0;
}

// The value of a row number attribute; 0 for anything that is not one.
int positiveNumber(const char *text)
{
    int value = 0;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9' || value > maxRows)
            return 0;
        value = value * 10 + (*text - '0');
    }
    return value;
}

} // namespace

QByteArray xmlBytes(const pugi::xml_document &doc)
{
    struct ByteWriter : pugi::xml_writer
    {
        QByteArray bytes;
        void write(const void *data, size_t size) override
        {
            bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
    };
    ByteWriter writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

bool WorksheetXml::parse(const QByteArray &xml, QString *error)
{
    const pugi::xml_parse_result parsed =
        m_doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size()), XmlParseOptions);
    if (!parsed) {
        *error = QStringLiteral("XML 格式错误（%1，位置 %2）")
                     .arg(QString::fromUtf8(parsed.description()))
                     .arg(parsed.offset);
        return false;
    }
    const pugi::xml_node worksheet = m_doc.document_element();
    if (std::strcmp(worksheet.name(), "worksheet") != 0) {
        *error = QStringLiteral("不是工作表");
        return false;
    }
    m_sheetData = worksheet.child("sheetData");
    if (!m_sheetData) {
        *error = QStringLiteral("工作表缺少 sheetData");
        return false;
    }

    // Rows may leave out their number; it is then one more than the row before.
    int previous = 0;
    for (pugi::xml_node row = m_sheetData.child("row"); row; row = row.next_sibling("row")) {
        pugi::xml_attribute r = row.attribute("r");
        const int number = r ? positiveNumber(r.value()) : previous + 1;
        if (number <= previous || number > maxRows) {
            *error = QStringLiteral("工作表的行号无效或顺序错误");
            return false;
        }
        if (!r)
            row.append_attribute("r").set_value(number);
        m_rows.emplace(number, row);
        giveCellNames(row, number);
        previous = number;
    }

    for (pugi::xml_node col = worksheet.child("cols").child("col"); col;
         col = col.next_sibling("col")) {
        if (pugi::xml_attribute style = col.attribute("style"))
            m_columnStyles.push_back(
                {col.attribute("min").as_int(), col.attribute("max").as_int(), style.as_int()});
    }
    return true;
}

void WorksheetXml::giveCellNames(pugi::xml_node row, int rowNumber)
{
    int previous = 0;
    for (pugi::xml_node c = row.child("c"); c; c = c.next_sibling("c")) {
        pugi::xml_attribute r = c.attribute("r");
        const int column = r ? columnOfCellName(r.value()) : previous + 1;
        if (!r && column <= maxColumns)
            c.prepend_attribute("r").set_value(cellName(rowNumber, column).constData());
        previous = column;
    }
}

pugi::xml_node WorksheetXml::findCell(int row, int column) const
{
    const auto found = m_rows.find(row);
    if (found == m_rows.end())
        return {};
    for (pugi::xml_node c = found->second.child("c"); c; c = c.next_sibling("c")) {
        const int cellColumn = columnOfCellName(c.attribute("r").value());
        if (cellColumn == column)
            return c;
        if (cellColumn > column)
            break;
    }
    return {};
}

pugi::xml_node WorksheetXml::rowForWriting(int row)
{
    const auto next = m_rows.lower_bound(row);
    if (next != m_rows.end() && next->first == row)
        return next->second;
    pugi::xml_node created = next == m_rows.end()
                                 ? m_sheetData.append_child("row")
                                 : m_sheetData.insert_child_before("row", next->second);
    created.append_attribute("r").set_value(row);
    m_rows.emplace_hint(next, row, created);
    return created;
}

int WorksheetXml::newCellStyle(pugi::xml_node row, int column) const
{
    if (isTrue(row.attribute("customFormat")))
        return row.attribute("s").as_int(-1);
    for (const ColumnStyle &style : m_columnStyles) {
        if (column >= style.first && column <= style.last)
            return style.style;
    }
    return -1;
}

pugi::xml_node WorksheetXml::cellForWriting(int row, int column)
{
    pugi::xml_node rowNode = rowForWriting(row);
    // The row's span hint would no longer hold.
    rowNode.remove_attribute("spans");

    if (row < m_writtenFirst.row)
        m_writtenFirst.row = row;
    if (row > m_writtenLast.row)
        m_writtenLast.row = row;
    if (column < m_writtenFirst.column)
        m_writtenFirst.column = column;
    if (column > m_writtenLast.column)
        m_writtenLast.column = column;

    // Cells are mostly written left to right, so the end of the row is tried first.
    pugi::xml_node before;
    pugi::xml_node last = rowNode.last_child();
    while (last && std::strcmp(last.name(), "c") != 0)
        last = last.previous_sibling();
    const int lastColumn = last ? columnOfCellName(last.attribute("r").value()) : 0;
    if (lastColumn == column)
        return last;
    if (lastColumn > column) {
        for (pugi::xml_node c = rowNode.child("c"); c; c = c.next_sibling("c")) {
            const int cellColumn = columnOfCellName(c.attribute("r").value());
            if (cellColumn == column)
                return c;
            if (cellColumn > column) {
                before = c;
                break;
            }
        }
    }
    pugi::xml_node cell;
    if (before)
        cell = rowNode.insert_child_before("c", before);
    else if (last)
        cell = rowNode.insert_child_after("c", last);
    else
        cell = rowNode.prepend_child("c");
    cell.append_attribute("r").set_value(cellName(row, column).constData());
    const int style = newCellStyle(rowNode, column);
    if (style > 0)
        cell.append_attribute("s").set_value(style);
    return cell;
}

bool WorksheetXml::hasFormulas() const
{
    bool found = false;
    forEachCell([&](const CellPosition &, pugi::xml_node c) { found = found || c.child("f"); });
    return found;
}

void WorksheetXml::updateDimension()
{
    if (m_writtenLast.row == 0)
        return;
    pugi::xml_node worksheet = m_doc.document_element();
    pugi::xml_node dimension = worksheet.child("dimension");
    CellPosition first = m_writtenFirst;
    CellPosition last = m_writtenLast;
    if (dimension) {
        const QByteArray ref(dimension.attribute("ref").value());
        const QList<QByteArray> corners = ref.split(':');
        const auto a = parseCellName(QByteArrayView(corners.first()));
        const auto b = parseCellName(QByteArrayView(corners.last()));
        // "A1" alone is what programs write for an empty sheet; it says nothing about its extent.
        if (a && b && !(corners.size() == 1 && a->row == 1 && a->column == 1)) {
            first = CellPosition{std::min(first.row, a->row), std::min(first.column, a->column)};
            last = CellPosition{std::max(last.row, b->row), std::max(last.column, b->column)};
        }
    } else {
        // dimension follows sheetPr when there is one, else it is the first element.
        const pugi::xml_node sheetPr = worksheet.child("sheetPr");
        dimension = sheetPr ? worksheet.insert_child_after("dimension", sheetPr)
                            : worksheet.prepend_child("dimension");
    }
    QByteArray ref = cellName(first.row, first.column);
    if (!(first == last))
        ref += ':' + cellName(last.row, last.column);
    pugi::xml_attribute attribute = dimension.attribute("ref");
    if (!attribute)
        attribute = dimension.append_attribute("ref");
    attribute.set_value(ref.constData());
}

QByteArray WorksheetXml::serialize()
{
    updateDimension();
    return xmlBytes(m_doc);
}

} // namespace xlsx
