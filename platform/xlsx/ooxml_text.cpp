#include "ooxml_text.h"

namespace xlsx {
namespace {

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// True when text[i] starts "_xHHHH_".
bool isEscapeAt(const QString &text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!isHexDigit(text[k]))
            return false;
    }
    return true;
}

bool isXmlChar(char16_t u)
{
    return u == 0x9 || u == 0xA || (u >= 0x20 && u < 0xD800) || (u >= 0xE000 && u <= 0xFFFD);
}

QString escaped(char16_t u)
{
    return QString::asprintf("_x%04X_", uint(u));
}

} // namespace

QByteArray encodeCellText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else if (!isXmlChar(u)) {
            out += escaped(u);
        } else if (u == u'_' && isEscapeAt(text, i)) {
            out += QStringLiteral("_x005F_");
        } else {
            out += text[i];
        }
    }
    return out.toUtf8();
}

QString decodeCellText(const char *utf8)
{
    const QString text = QString::fromUtf8(utf8);
    if (!text.contains(QStringLiteral("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapeAt(text, i)) {
            out += QChar(char16_t(text.mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool needsPreservedSpace(const QString &text)
{
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

} // namespace xlsx
