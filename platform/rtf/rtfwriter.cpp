#include "rtf.h"

#include "rtfunits.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <vector>

namespace rtf {

namespace {

constexpr int kCharsetGb = 134;
constexpr int kCharsetWestern = 0;
constexpr qsizetype kLineLength = 200; // readers ignore line ends; short lines keep diffs readable

struct FontKey
{
    QString family;
    int charset = kCharsetWestern;
    bool operator==(const FontKey &) const = default;
};

size_t qHash(const FontKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.family, key.charset);
}

bool isChineseFamily(const QString &family)
{
    for (const QChar c : family) {
        if (c.unicode() >= 0x80)
            return true;
    }
    static const char *const markers[] = {"Sim",       "Song",       "Hei",      "Kai",
                                          "Fang",      "YaHei",      "DengXian", "CJK",
                                          "WenQuanYi", "Source Han", "Ming",     "STXihei"};
    for (const char *marker : markers) {
        if (family.contains(QLatin1String(marker), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool hasNonAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return true;
    }
    return false;
}

void appendHexByte(QByteArray &out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document), m_gb("GB18030", QStringConverter::Flag::Stateless)
    {}

    QByteArray write()
    {
        QTextFrame *root = m_document.rootFrame();
        writeFrame(root->begin(), root->end());
        return header() + m_body + "}\r\n";
    }

private:
    void writeFrame(QTextFrame::iterator it, QTextFrame::iterator end)
    {
        for (; it != end; ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(child))
                    writeTable(table);
                else
                    writeFrame(child->begin(), child->end());
            } else if (it.currentBlock().isValid()) {
                writeBlock(it.currentBlock(), false);
                m_body += "\\par\r\n";
                m_lineStart = m_body.size();
            }
        }
    }

    static void collectBlocks(QTextFrame::iterator it, QTextFrame::iterator end,
                              std::vector<QTextBlock> &blocks)
    {
        for (; it != end; ++it) {
            if (QTextFrame *child = it.currentFrame())
                collectBlocks(child->begin(), child->end(), blocks);
            else if (it.currentBlock().isValid())
                blocks.push_back(it.currentBlock());
        }
    }

    void writeTable(QTextTable *table)
    {
        const int columns = table->columns();
        const int width = 9000 / std::max(1, columns);
        for (int r = 0; r < table->rows(); ++r) {
            m_body += "\\trowd\\trgaph108";
            for (int c = 0; c < columns; ++c)
                m_body +=
                    "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" +
                    QByteArray::number(width * (c + 1));
            m_body += "\r\n";
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                std::vector<QTextBlock> blocks;
                if (cell.row() == r && cell.column() == c) // spanned positions stay empty
                    collectBlocks(cell.begin(), cell.end(), blocks);
                if (blocks.empty())
                    m_body += "\\pard\\intbl";
                for (size_t i = 0; i < blocks.size(); ++i) {
                    writeBlock(blocks[i], true);
                    if (i + 1 < blocks.size())
                        m_body += "\\par\r\n";
                }
                m_body += "\\cell\r\n";
                m_lineStart = m_body.size();
            }
            m_body += "\\row\r\n";
            m_lineStart = m_body.size();
        }
    }

    void writeBlock(const QTextBlock &block, bool inTable)
    {
        const QTextBlockFormat format = block.blockFormat();
        m_body += "\\pard";
        if (inTable)
            m_body += "\\intbl";
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            m_body += "\\qc";
        else if (align & (Qt::AlignRight | Qt::AlignTrailing))
            m_body += "\\qr";
        else if (align & Qt::AlignJustify)
            m_body += "\\qj";
        appendTwips("\\li", format.leftMargin());
        appendTwips("\\ri", format.rightMargin());
        appendTwips("\\fi", format.textIndent());
        appendTwips("\\sb", format.topMargin());
        appendTwips("\\sa", format.bottomMargin());
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (format.lineHeight() != 100.0)
                m_body += "\\sl" +
                          QByteArray::number(std::lround(format.lineHeight() * 240.0 / 100.0)) +
                          "\\slmult1";
            break;
        case QTextBlockFormat::MinimumHeight:
            m_body += "\\sl" + QByteArray::number(pixelsToTwips(format.lineHeight())) + "\\slmult0";
            break;
        case QTextBlockFormat::FixedHeight:
            m_body +=
                "\\sl-" + QByteArray::number(pixelsToTwips(format.lineHeight())) + "\\slmult0";
            break;
        default: break;
        }
        m_body += ' ';

        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat charFormat = fragment.charFormat();
            if (charFormat.isImageFormat()) {
                // One fragment may hold several copies of the same picture.
                for (qsizetype i = 0; i < fragment.text().size(); ++i)
                    writeImage(charFormat.toImageFormat());
            } else {
                writeRun(fragment.text(), charFormat);
            }
        }
    }

    void appendTwips(const char *word, double pixels)
    {
        const int twips = pixelsToTwips(pixels);
        if (twips != 0)
            m_body += word + QByteArray::number(twips);
    }

    void writeRun(const QString &text, const QTextCharFormat &format)
    {
        m_body += '{';
        appendCharFormat(format, hasNonAscii(text));
        m_body += ' ';
        int unicodeSkip = 1; // \uc1 from the document header
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const char16_t u = c.unicode();
            if (u < 0x80) {
                switch (u) {
                case '\\': m_body += "\\\\"; break;
                case '{': m_body += "\\{"; break;
                case '}': m_body += "\\}"; break;
                case '\t': m_body += "\\tab "; break;
                default:
                    if (u >= 0x20)
                        m_body += static_cast<char>(u);
                    break;
                }
            } else if (u == 0x2028 || u == 0x2029) {
                m_body += "\\line ";
            } else if (u == 0xA0) {
                m_body += "\\~";
            } else if (u == 0xFFFC) {
                // object placeholder without a picture: nothing to show
            } else if (c.isHighSurrogate() && i + 1 < text.size() &&
                       text.at(i + 1).isLowSurrogate()) {
                setUnicodeSkip(unicodeSkip, 1);
                appendUnicode(u);
                m_body += '?';
                appendUnicode(text.at(++i).unicode());
                m_body += '?';
            } else {
                const QByteArray fallback = m_gb.encode(QStringView(&c, 1));
                // Four-byte GB18030 sequences are unknown to code page 936 readers.
                const bool usable = !m_gb.hasError() && !fallback.isEmpty() && fallback.size() <= 2;
                setUnicodeSkip(unicodeSkip, usable ? static_cast<int>(fallback.size()) : 1);
                appendUnicode(u);
                if (usable) {
                    for (const char byte : fallback)
                        appendHexByte(m_body, static_cast<unsigned char>(byte));
                } else {
                    m_body += '?';
                }
            }
            if (m_body.size() - m_lineStart > kLineLength) {
                m_body += "\r\n";
                m_lineStart = m_body.size();
            }
        }
        m_body += '}';
    }

    void setUnicodeSkip(int &current, int wanted)
    {
        if (current == wanted)
            return;
        m_body += "\\uc" + QByteArray::number(wanted);
        current = wanted;
    }

    void appendUnicode(char16_t u)
    {
        const int value = u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u);
        m_body += "\\u" + QByteArray::number(value);
    }

    void appendCharFormat(const QTextCharFormat &format, bool nonAscii)
    {
        const QStringList families = format.fontFamilies().toStringList();
        const QString family = families.isEmpty() || families.first().isEmpty()
                                   ? m_document.defaultFont().family()
                                   : families.first();
        const int charset = nonAscii || isChineseFamily(family) ? kCharsetGb : kCharsetWestern;
        m_body += "\\f" + QByteArray::number(fontIndex(FontKey{family, charset}));

        double points = format.fontPointSize();
        if (points <= 0)
            points = m_document.defaultFont().pointSizeF();
        if (points > 0)
            m_body += "\\fs" + QByteArray::number(std::lround(points * 2));
        if (format.fontWeight() >= QFont::DemiBold)
            m_body += "\\b";
        if (format.fontItalic())
            m_body += "\\i";
        if (format.fontUnderline())
            m_body += "\\ul";
        if (format.fontStrikeOut())
            m_body += "\\strike";
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            m_body += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            m_body += "\\sub";
        if (format.hasProperty(QTextFormat::ForegroundBrush) &&
            format.foreground().style() != Qt::NoBrush)
            m_body += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
        if (format.hasProperty(QTextFormat::BackgroundBrush) &&
            format.background().style() != Qt::NoBrush)
            m_body += "\\highlight" + QByteArray::number(colorIndex(format.background().color()));
    }

    int fontIndex(const FontKey &key)
    {
        const auto it = m_fontIndex.constFind(key);
        if (it != m_fontIndex.cend())
            return *it;
        const int index = static_cast<int>(m_fonts.size());
        m_fonts.push_back(key);
        m_fontIndex.insert(key, index);
        return index;
    }

    int colorIndex(const QColor &color)
    {
        const QRgb rgb = color.rgb() & 0xFFFFFF;
        const auto it = m_colorIndex.constFind(rgb);
        if (it != m_colorIndex.cend())
            return *it;
        m_colors.push_back(rgb);
        const int index = static_cast<int>(m_colors.size()); // index 0 is "automatic"
        m_colorIndex.insert(rgb, index);
        return index;
    }

    void writeImage(const QTextImageFormat &format)
    {
        const QVariant resource =
            m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
        QByteArray data;
        const char *blip = "\\pngblip";
        QSize native;
        if (resource.userType() == QMetaType::QByteArray) {
            data = resource.toByteArray();
            QBuffer buffer(&data);
            QImageReader reader(&buffer);
            const QByteArray kind = reader.format();
            native = reader.size();
            if (kind == "jpeg") {
                blip =
                    "\\jpegblip"; // every reader we target takes JPEG; re-encoding would bloat it
            } else if (kind != "png") {
                const QImage image = reader.read();
                data = pngData(image);
                native = image.size();
            }
        } else {
            // Pictures pasted into the editor arrive as QImage or QPixmap resources.
            const QImage image = resource.userType() == QMetaType::QPixmap
                                     ? qvariant_cast<QPixmap>(resource).toImage()
                                     : qvariant_cast<QImage>(resource);
            data = pngData(image);
            native = image.size();
        }
        if (data.isEmpty() || !native.isValid())
            return;

        const double width = format.width() > 0 ? format.width() : native.width();
        const double height = format.height() > 0 ? format.height() : native.height();
        m_body += "{\\pict";
        m_body += blip;
        m_body += "\\picw" + QByteArray::number(native.width()) + "\\pich" +
                  QByteArray::number(native.height());
        m_body += "\\picwgoal" + QByteArray::number(pixelsToTwips(width));
        m_body += "\\pichgoal" + QByteArray::number(pixelsToTwips(height)) + "\r\n";
        appendHexLines(data);
        m_body += "}";
        m_lineStart = m_body.size();
    }

    static QByteArray pngData(const QImage &image)
    {
        if (image.isNull())
            return {};
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return data;
    }

    void appendHexLines(const QByteArray &data)
    {
        static const char digits[] = "0123456789abcdef";
        constexpr qsizetype bytesPerLine = 64;
        const qsizetype start = m_body.size();
        const qsizetype lines = (data.size() + bytesPerLine - 1) / bytesPerLine;
        m_body.resize(start + data.size() * 2 + lines * 2);
        char *out = m_body.data() + start;
        for (qsizetype i = 0; i < data.size(); ++i) {
            const auto byte = static_cast<unsigned char>(data[i]);
            *out++ = digits[byte >> 4];
            *out++ = digits[byte & 0xF];
            if ((i + 1) % bytesPerLine == 0 || i + 1 == data.size()) {
                *out++ = '\r';
                *out++ = '\n';
            }
        }
    }

    QByteArray header()
    {
        if (m_fonts.empty())
            fontIndex(FontKey{
                m_document.defaultFont().family(),
                isChineseFamily(m_document.defaultFont().family()) ? kCharsetGb : kCharsetWestern});
        QByteArray out =
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052\\uc1\r\n{\\fonttbl";
        for (size_t i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f" + QByteArray::number(static_cast<qulonglong>(i)) + "\\fnil\\fcharset" +
                   QByteArray::number(m_fonts[i].charset) + ' ';
            appendFontName(out, m_fonts[i].family);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const QRgb rgb : m_colors) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                   QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                   ';';
        }
        out += "}\r\n\\viewkind4\r\n";
        return out;
    }

    // Font names are read in the font's own charset, so Chinese names go out as GB bytes.
    void appendFontName(QByteArray &out, const QString &family)
    {
        for (const QChar c : family) {
            const char16_t u = c.unicode();
            if (u == ';' || u == '{' || u == '}' || u == '\\' || u < 0x20)
                continue;
            if (u < 0x80) {
                out += static_cast<char>(u);
                continue;
            }
            const QByteArray bytes = m_gb.encode(QStringView(&c, 1));
            if (m_gb.hasError() || bytes.size() > 2)
                continue;
            for (const char byte : bytes)
                appendHexByte(out, static_cast<unsigned char>(byte));
        }
    }

    const QTextDocument &m_document;
    QStringEncoder m_gb;
    QByteArray m_body;
    qsizetype m_lineStart = 0;
    std::vector<FontKey> m_fonts;
    QHash<FontKey, int> m_fontIndex;
    std::vector<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
};

} // namespace

QByteArray writeRtf(const QTextDocument &document)
{
    return Writer(document).write();
}

} // namespace rtf
