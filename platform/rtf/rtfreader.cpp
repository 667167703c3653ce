#include "rtf.h"

#include "rtfparser.h"
#include "rtfunits.h"

#include <QBuffer>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace rtf {

namespace {

QTextBlockFormat blockFormat(const ParaState &para)
{
    QTextBlockFormat format;
    switch (para.alignment) {
    case Alignment::Left: format.setAlignment(Qt::AlignLeft); break;
    case Alignment::Center: format.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Right: format.setAlignment(Qt::AlignRight); break;
    case Alignment::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
    if (para.leftIndent != 0)
        format.setLeftMargin(twipsToPixels(para.leftIndent));
    if (para.rightIndent != 0)
        format.setRightMargin(twipsToPixels(para.rightIndent));
    if (para.firstIndent != 0)
        format.setTextIndent(twipsToPixels(para.firstIndent));
    if (para.spaceBefore != 0)
        format.setTopMargin(twipsToPixels(para.spaceBefore));
    if (para.spaceAfter != 0)
        format.setBottomMargin(twipsToPixels(para.spaceAfter));
    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0)
            format.setLineHeight(para.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (para.lineSpacing > 0)
            format.setLineHeight(twipsToPixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(twipsToPixels(-para.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    return format;
}

// Builds the document through one cursor. A paragraph mark is applied lazily, when content
// follows it, so the final \par of a file adds no empty paragraph.
class DocumentBuilder final : public Sink
{
public:
    explicit DocumentBuilder(QTextDocument *document)
        : m_document(document), m_cursor(document), m_edit(document)
    {
        // One edit block: the document tells its layout and views about the change once.
        m_edit.beginEditBlock();
    }

    ~DocumentBuilder() override { m_edit.endEditBlock(); }

    void setTables(const Tables *tables) { m_tables = tables; }

    void text(const QString &text, const CharState &chr, const ParaState &para) override
    {
        enterContent(para.inTable);
        const int latinFont = chr.effectiveFont(m_tables->defaultFont);
        const int eastAsiaFont = chr.eastAsiaFont >= 0 ? chr.eastAsiaFont : latinFont;
        if (eastAsiaFont == latinFont) {
            m_cursor.insertText(text, charFormat(chr, latinFont));
            return;
        }
        // Like Word, show East Asian characters in the run's East Asian font and the rest in
        // its Latin font, whichever of \loch, \hich or \dbch came last.
        qsizetype start = 0;
        while (start < text.size()) {
            const bool eastAsian = isEastAsian(text.at(start));
            qsizetype end = start + 1;
            while (end < text.size() && isEastAsian(text.at(end)) == eastAsian)
                ++end;
            m_cursor.insertText(text.sliced(start, end - start),
                                charFormat(chr, eastAsian ? eastAsiaFont : latinFont));
            start = end;
        }
    }

    void paragraph(const CharState &chr, const ParaState &para) override
    {
        enterContent(para.inTable);
        m_cursor.setBlockFormat(blockFormat(para));
        m_breakPending = true;
        m_breakFormat = charFormat(chr, chr.effectiveFont(m_tables->defaultFont));
    }

    void cell(const ParaState &para) override
    {
        if (m_cellBudget <= 0) { // past the table budget: cells run on as text
            enterContent(false);
            m_cursor.insertText(QStringLiteral("\t"));
            return;
        }
        enterContent(true);
        m_breakPending = false; // the cell's last paragraph mark ends the cell, not a paragraph
        m_cursor.setBlockFormat(blockFormat(para));
        m_cellPending = true;
    }

    void row() override
    {
        if (m_cellBudget <= 0) {
            enterContent(false);
            m_breakPending = true;
            m_breakFormat = m_cursor.charFormat();
            return;
        }
        m_rowOpen = false;
        m_cellPending = false;
        m_breakPending = false;
    }

    void rowCells(int count) override { m_rowCells = count; }

    void picture(const Picture &picture, const CharState &chr, const ParaState &para) override
    {
        QBuffer buffer;
        buffer.setData(picture.data);
        QImageReader reader(&buffer, picture.type == Picture::Type::Png ? "png" : "jpeg");
        const QSize native = reader.size();
        if (!native.isValid())
            return; // not a picture we can show: leave no broken placeholder

        enterContent(para.inTable);
        const QString name = QStringLiteral("rtfimage:%1").arg(++m_pictureCount);
        // The encoded bytes are the resource: Qt decodes them when the picture is drawn, and
        // writing the document back can keep them as they are.
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), picture.data);

        double width = native.width();
        double height = native.height();
        if (picture.goalWidth > 0 && picture.goalHeight > 0) {
            width = twipsToPixels(picture.goalWidth);
            height = twipsToPixels(picture.goalHeight);
        } else if (picture.width > 0 && picture.height > 0) {
            width = picture.width;
            height = picture.height;
        }
        if (picture.scaleX > 0 && picture.scaleY > 0) {
            width = width * picture.scaleX / 100.0;
            height = height * picture.scaleY / 100.0;
        }
        const double largest = std::max(width, height);
        if (largest > kMaxPictureSide) {
            width = width * kMaxPictureSide / largest;
            height = height * kMaxPictureSide / largest;
        }

        QTextImageFormat format;
        format.merge(charFormat(chr, chr.effectiveFont(m_tables->defaultFont)));
        format.setName(name);
        format.setWidth(std::max(1.0, width));
        format.setHeight(std::max(1.0, height));
        m_cursor.insertImage(format);
    }

    void finish(const ParaState &para) override
    {
        if (!m_breakPending && !m_table)
            m_cursor.setBlockFormat(blockFormat(para));
    }

private:
    // Moves the cursor to where the next content goes: into the table, out of it, or past a
    // pending paragraph mark.
    void enterContent(bool inTable)
    {
        if (inTable && m_cellBudget <= 0)
            inTable = false;
        if (!inTable) {
            if (m_table)
                leaveTable();
        } else if (!m_table) {
            m_breakPending = false; // the table itself starts on a new line
            const int columns = std::clamp(m_rowCells, 1, kMaxColumns);
            m_cellBudget -= columns;
            m_table = m_cursor.insertTable(1, columns);
            m_row = 0;
            m_column = 0;
            m_rowOpen = true;
            m_cellPending = false;
            m_cursor = m_table->cellAt(0, 0).firstCursorPosition();
        } else if (!m_rowOpen) {
            const int wanted = std::clamp(m_rowCells, m_table->columns(), kMaxColumns);
            m_cellBudget -= wanted;
            if (m_cellBudget <= 0) {
                leaveTable();
                return;
            }
            m_table->appendRows(1);
            ++m_row;
            m_column = 0;
            m_rowOpen = true;
            m_cellPending = false;
            if (m_table->columns() < wanted)
                m_table->appendColumns(wanted - m_table->columns());
            m_cursor = m_table->cellAt(m_row, 0).firstCursorPosition();
        } else if (m_cellPending) {
            m_cellPending = false;
            m_breakPending = false;
            if (m_column + 1 >= kMaxColumns) {
                // Cells beyond the widest table a writer makes share the last column.
                m_cursor = m_table->cellAt(m_row, m_column).lastCursorPosition();
                m_cursor.insertText(QStringLiteral("\t"));
                return;
            }
            ++m_column;
            if (m_column >= m_table->columns()) {
                m_cellBudget -= m_table->rows();
                m_table->appendColumns(1);
            }
            m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
        }
        if (m_breakPending) {
            m_breakPending = false;
            m_cursor.insertBlock(m_cursor.blockFormat(), m_breakFormat);
        }
    }

    void leaveTable()
    {
        m_cursor = m_table->lastCursorPosition();
        m_cursor.movePosition(QTextCursor::NextBlock);
        m_table = nullptr;
        m_breakPending = false;
        m_rowOpen = false;
        m_cellPending = false;
    }

    static bool isEastAsian(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) ||
               (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
               (u >= 0xFF00 && u <= 0xFFEF) || c.isSurrogate();
    }

    QTextCharFormat charFormat(const CharState &chr, int fontNumber)
    {
        if (m_formatValid && chr == m_lastChar && fontNumber == m_lastFont)
            return m_lastFormat;
        QTextCharFormat format;
        const auto font = m_tables->fonts.constFind(fontNumber);
        if (font != m_tables->fonts.cend() && !font->name.isEmpty())
            format.setFontFamilies(QStringList(font->name));
        format.setFontPointSize(chr.halfPoints / 2.0);
        if (chr.bold)
            format.setFontWeight(QFont::Bold);
        if (chr.italic)
            format.setFontItalic(true);
        if (chr.underline)
            format.setFontUnderline(true);
        if (chr.strike)
            format.setFontStrikeOut(true);
        if (chr.verticalAlign == VerticalAlign::Super)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (chr.verticalAlign == VerticalAlign::Sub)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (const QColor color = tableColor(chr.foreground); color.isValid())
            format.setForeground(color);
        if (const QColor color = tableColor(chr.background); color.isValid())
            format.setBackground(color);
        m_lastChar = chr;
        m_lastFont = fontNumber;
        m_lastFormat = format;
        m_formatValid = true;
        return format;
    }

    QColor tableColor(int index) const
    {
        if (index <= 0 || static_cast<size_t>(index) >= m_tables->colors.size())
            return {};
        return m_tables->colors[static_cast<size_t>(index)];
    }

    QTextDocument *m_document;
    QTextCursor m_cursor;
    QTextCursor m_edit;
    const Tables *m_tables = nullptr;

    bool m_breakPending = false;
    QTextCharFormat m_breakFormat;

    // Tables cost memory per cell, so a few bytes of \cell and \row must not make millions.
    static constexpr int kMaxColumns = 63;
    int m_cellBudget = 20000;
    QTextTable *m_table = nullptr;
    int m_rowCells = 0;
    int m_row = 0;
    int m_column = 0;
    bool m_rowOpen = false;
    bool m_cellPending = false;

    int m_pictureCount = 0;

    bool m_formatValid = false;
    CharState m_lastChar;
    int m_lastFont = -1;
    QTextCharFormat m_lastFormat;
};

} // namespace

bool readRtf(const QByteArray &rtf, QTextDocument *document)
{
    if (!document || !looksLikeRtf(rtf))
        return false;

    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();

    DocumentBuilder builder(document);
    Parser parser(builder);
    builder.setTables(&parser.tables());
    parser.parse(rtf);

    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    return true;
}

} // namespace rtf
