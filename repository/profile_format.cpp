#include "repository/profile_format.h"

#include "repository/profile_encoding.h"
#include "repository/profile_values.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>

namespace exam {
namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char Utf16LeBom[] = "\xFF\xFE";

bool isBlankByte(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBytes(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlankByte(bytes[begin]))
        ++begin;
    while (end > begin && isBlankByte(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

bool allAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    // Eight bytes at a time: a file is mostly ASCII keys and numbers.
    while (n >= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
        p += 8;
        n -= 8;
    }
    for (; n > 0; --n, ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    }
    return true;
}

QString decodeGb18030(QByteArrayView bytes)
{
    thread_local QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray encodeGb18030(QStringView text)
{
    thread_local QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

// QString::fromUtf8() drops a leading U+FEFF as a byte order mark; inside a file it belongs to the
// name or value, which would otherwise never match what was written.
QString decodeUtf8(QByteArrayView bytes)
{
    thread_local QStringDecoder decoder(QStringConverter::Utf8,
                                        QStringConverter::Flag::Stateless
                                            | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString decodeText(QByteArrayView bytes, bool gb18030)
{
    if (allAscii(bytes))
        return QString::fromLatin1(bytes);
    return gb18030 ? decodeGb18030(bytes) : decodeUtf8(bytes);
}

// Section names and keys in the file, folded as foldProfileName() folds the names asked for.
QString foldRawName(QByteArrayView raw, bool gb18030)
{
    if (allAscii(raw)) {
        QString folded(raw.size(), Qt::Uninitialized);
        QChar *out = folded.data();
        for (char c : raw)
            *out++ = QLatin1Char((c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c);
        return folded;
    }
    return decodeText(raw, gb18030).toCaseFolded();
}

// Length of the GB18030 character starting at `i`: one byte, a lead byte with one trail byte, or
// four bytes when the second is a digit. Broken bytes count one each.
qsizetype gbCharLength(QByteArrayView bytes, qsizetype i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const qsizetype length = (second >= 0x30 && second <= 0x39) ? 4 : 2;
    return std::min(length, bytes.size() - i);
}

// The longest prefix of at most `limit` bytes that ends on a character boundary.
qsizetype gbPrefixLength(QByteArrayView bytes, qsizetype limit)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype next = i + gbCharLength(bytes, i);
        if (next > limit)
            break;
        i = next;
    }
    return i;
}

// Cuts decoded text (from a UTF-8 file) to what its GB18030 form allows.
QString cutToGbLimit(const QString &text)
{
    // No character takes more than four bytes.
    if (text.size() * 4 <= MaxValueBytes || encodeGb18030(text).size() <= MaxValueBytes)
        return text;
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype units =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const qsizetype length = text.at(i).unicode() < 0x80
                                     ? 1
                                     : encodeGb18030(QStringView(text).sliced(i, units)).size();
        if (bytes + length > MaxValueBytes)
            break;
        bytes += length;
        i += units;
    }
    return text.left(i);
}

// Calls `visit(start, length, eolLength)` for every line; a line ends at CRLF, LF or a lone CR.
// `visit` returns false to stop.
template <typename Visit> void forEachLine(QByteArrayView body, Visit &&visit)
{
    const char *p = body.data();
    const qsizetype n = body.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype i = start;
        while (i < n && p[i] != '\n' && p[i] != '\r')
            ++i;
        qsizetype eol = 0;
        if (i < n)
            eol = (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
        if (!visit(start, i - start, eol))
            return;
        start = i + eol;
    }
}

enum class LineKind { Other, Section, Key };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QByteArrayView name;      // trimmed
    qsizetype valueStart = 0; // for keys: first byte after "="
};

// The "]" that closes a section name; in GB18030 a trail byte can have the value of "]", so the
// search steps over whole characters.
qsizetype sectionNameEnd(QByteArrayView line, qsizetype from, bool gb18030)
{
    if (!gb18030) {
        const qsizetype pos = line.indexOf(']', from);
        return pos < 0 ? line.size() : pos;
    }
    qsizetype i = from;
    while (i < line.size()) {
        if (line[i] == ']')
            return i;
        i += gbCharLength(line, i);
    }
    return line.size();
}

ParsedLine parseLine(QByteArrayView line, bool gb18030)
{
    qsizetype i = 0;
    while (i < line.size() && isBlankByte(line[i]))
        ++i;
    if (i < line.size() && line[i] == '[') {
        const qsizetype end = sectionNameEnd(line, i + 1, gb18030);
        return {LineKind::Section, trimmedBytes(line.sliced(i + 1, end - i - 1)), 0};
    }
    // "=" (0x3D) is never part of a multi-byte character in GB18030 or UTF-8.
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return {};
    const QByteArrayView name = trimmedBytes(line.first(eq));
    if (name.isEmpty())
        return {};
    return {LineKind::Key, name, eq + 1};
}

// Compares names in the file with one name asked for, decoding only names that are not ASCII.
class NameMatcher
{
public:
    explicit NameMatcher(const QString &name) : m_folded(foldProfileName(name))
    {
        for (QChar c : m_folded) {
            if (c.unicode() >= 0x80) {
                m_ascii = false;
                break;
            }
        }
        if (m_ascii)
            m_asciiFolded = m_folded.toLatin1();
    }

    bool isEmpty() const { return m_folded.isEmpty(); }

    bool matches(QByteArrayView raw, bool gb18030) const
    {
        if (!allAscii(raw))
            return foldRawName(raw, gb18030) == m_folded;
        if (!m_ascii || raw.size() != m_asciiFolded.size())
            return false;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            char c = raw[i];
            if (c >= 'A' && c <= 'Z')
                c = char(c + ('a' - 'A'));
            if (c != m_asciiFolded[i])
                return false;
        }
        return true;
    }

private:
    QString m_folded;
    QByteArray m_asciiFolded;
    bool m_ascii = true;
};

} // namespace

ProfileText ProfileText::fromFileBytes(const QByteArray &fileBytes)
{
    ProfileText text;
    if (fileBytes.startsWith(Utf8Bom)) {
        text.encoding = ProfileEncoding::Utf8Bom;
        text.body = fileBytes.sliced(3);
    } else if (fileBytes.startsWith(Utf16LeBom)) {
        text.encoding = ProfileEncoding::Utf16LeBom;
        QStringDecoder decoder(QStringConverter::Utf16LE);
        const QString decoded = decoder.decode(QByteArrayView(fileBytes).sliced(2));
        text.body = decoded.toUtf8();
    } else {
        text.encoding = detectEncoding(fileBytes);
        text.body = fileBytes;
    }
    return text;
}

QByteArray ProfileText::toFileBytes() const
{
    switch (encoding) {
    case ProfileEncoding::Gb18030:
    case ProfileEncoding::Utf8:
        return body;
    case ProfileEncoding::Utf8Bom:
        return QByteArray(Utf8Bom) + body;
    case ProfileEncoding::Utf16LeBom: {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        const QByteArray encoded = encoder.encode(QString::fromUtf8(body));
        return QByteArray(Utf16LeBom, 2) + encoded;
    }
    }
    return body;
}

QString profileValueText(QByteArrayView rawValue, bool gb18030)
{
    const qsizetype nul = rawValue.indexOf('\0');
    if (nul >= 0)
        rawValue = rawValue.first(nul);
    rawValue = trimmedBytes(rawValue);
    if (gb18030) {
        if (rawValue.size() > MaxValueBytes)
            rawValue = trimmedBytes(rawValue.first(gbPrefixLength(rawValue, MaxValueBytes)));
        return decodeText(rawValue, true);
    }
    return trimBlanks(cutToGbLimit(decodeText(rawValue, false)));
}

QString foldProfileName(const QString &name)
{
    return trimBlanks(name).toCaseFolded();
}

std::optional<QString> findProfileValue(const QByteArray &fileBytes, const QString &section,
                                        const QString &key)
{
    const NameMatcher sectionName(section);
    const NameMatcher keyName(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return std::nullopt;
    const ProfileText text = ProfileText::fromFileBytes(fileBytes);
    const bool gb = text.isGb18030();
    const QByteArrayView body(text.body);
    bool sectionSeen = false;
    bool inSection = false;
    std::optional<QString> result;
    forEachLine(body, [&](qsizetype start, qsizetype length, qsizetype) {
        const QByteArrayView line = body.sliced(start, length);
        const ParsedLine parsed = parseLine(line, gb);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                return false; // only the first section of a name counts
            if (!sectionSeen && sectionName.matches(parsed.name, gb))
                sectionSeen = inSection = true;
        } else if (parsed.kind == LineKind::Key && inSection && keyName.matches(parsed.name, gb)) {
            result = profileValueText(line.sliced(parsed.valueStart), gb);
            return false;
        }
        return true;
    });
    return result;
}

ProfileIndex ProfileIndex::build(const QByteArray &fileBytes)
{
    ProfileIndex index;
    index.m_text = ProfileText::fromFileBytes(fileBytes);
    const bool gb = index.m_text.isGb18030();
    const QByteArrayView body(index.m_text.body);
    // Every key line holds an "=", so their count bounds the number of keys.
    index.m_keys.reserve(std::min<qsizetype>(index.m_text.body.count('='), 4096));
    qsizetype current = -1;
    forEachLine(body, [&](qsizetype start, qsizetype length, qsizetype) {
        const QByteArrayView line = body.sliced(start, length);
        const ParsedLine parsed = parseLine(line, gb);
        if (parsed.kind == LineKind::Section) {
            const QString name = foldRawName(parsed.name, gb);
            if (index.m_sectionIndex.contains(name)) {
                current = -1; // a repeated section is not read
            } else {
                current = index.m_sectionIndex.size();
                index.m_sectionIndex.insert(name, current);
            }
        } else if (parsed.kind == LineKind::Key && current >= 0) {
            std::pair<qsizetype, QString> name(current, foldRawName(parsed.name, gb));
            if (!index.m_keys.contains(name))
                index.m_keys.insert(std::move(name),
                                    {start + parsed.valueStart, length - parsed.valueStart});
        }
        return true;
    });
    return index;
}

std::optional<QString> ProfileIndex::value(const QString &section, const QString &key) const
{
    const auto sectionIt = m_sectionIndex.constFind(foldProfileName(section));
    if (sectionIt == m_sectionIndex.cend())
        return std::nullopt;
    const auto keyIt = m_keys.constFind({*sectionIt, foldProfileName(key)});
    if (keyIt == m_keys.cend())
        return std::nullopt;
    return profileValueText(QByteArrayView(m_text.body).sliced(keyIt->start, keyIt->length),
                            m_text.isGb18030());
}

bool ProfileIndex::containsSection(const QString &section) const
{
    return m_sectionIndex.contains(foldProfileName(section));
}

ProfileDocument ProfileDocument::parse(const QByteArray &fileBytes)
{
    static const QByteArray lineEnds[] = {QByteArray(), QByteArrayLiteral("\r\n"),
                                          QByteArrayLiteral("\n"), QByteArrayLiteral("\r")};
    ProfileDocument document;
    ProfileText text = ProfileText::fromFileBytes(fileBytes);
    document.m_encoding = text.encoding;
    // Untouched lines point into the kept body instead of holding copies.
    document.m_body = std::move(text.body);
    const QByteArrayView body(document.m_body);
    forEachLine(body, [&](qsizetype start, qsizetype length, qsizetype eol) {
        Line line;
        line.content = QByteArray::fromRawData(body.data() + start, length);
        line.eol = eol == 2                       ? lineEnds[1]
                   : eol == 0                     ? lineEnds[0]
                   : body[start + length] == '\n' ? lineEnds[2]
                                                  : lineEnds[3];
        if (document.m_eol.isEmpty())
            document.m_eol = line.eol;
        document.classify(line);
        document.m_lines.append(std::move(line));
        return true;
    });
    return document;
}

void ProfileDocument::classify(Line &line) const
{
    const bool gb = m_encoding == ProfileEncoding::Gb18030;
    const ParsedLine parsed = parseLine(line.content, gb);
    line.kind = parsed.kind == LineKind::Section ? Kind::Section
                : parsed.kind == LineKind::Key   ? Kind::Key
                                                 : Kind::Other;
    line.nameStart =
        parsed.kind == LineKind::Other ? 0 : parsed.name.data() - line.content.constData();
    line.nameLength = parsed.name.size();
    line.valueStart = parsed.valueStart;
}

QByteArray ProfileDocument::encode(const QString &text) const
{
    return m_encoding == ProfileEncoding::Gb18030 ? encodeGb18030(text) : text.toUtf8();
}

QByteArray ProfileDocument::lineEnd() const
{
    return m_eol.isEmpty() ? QByteArrayLiteral("\r\n") : m_eol;
}

namespace {

bool holdsLineBreakOrNul(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(0));
}

} // namespace

bool ProfileDocument::isWritableSection(const QString &section)
{
    const QString name = trimBlanks(section);
    return !name.isEmpty() && !name.contains(QLatin1Char(']')) && !holdsLineBreakOrNul(name);
}

bool ProfileDocument::isWritableKey(const QString &key)
{
    const QString name = trimBlanks(key);
    return !name.isEmpty() && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char('[')) && !holdsLineBreakOrNul(name);
}

bool ProfileDocument::set(const QString &section, const QString &key, const QString &value)
{
    if (!isWritableSection(section) || !isWritableKey(key))
        return false;
    QString cleanValue = value;
    cleanValue.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QChar(0), QLatin1Char(' '));
    const QByteArray valueBytes = encode(cleanValue);
    const bool gb = m_encoding == ProfileEncoding::Gb18030;
    const NameMatcher sectionName(section);
    const NameMatcher keyName(key);
    m_modified = true;

    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < m_lines.size() && sectionLine < 0; ++i) {
        if (m_lines.at(i).kind == Kind::Section && sectionName.matches(m_lines.at(i).name(), gb))
            sectionLine = i;
    }
    Line keyLine;
    keyLine.content = encode(trimBlanks(key)) + '=' + valueBytes;
    keyLine.eol = lineEnd();
    classify(keyLine);
    if (sectionLine < 0) {
        if (!m_lines.isEmpty() && m_lines.last().eol.isEmpty())
            m_lines.last().eol = lineEnd();
        Line header;
        header.content = '[' + encode(trimBlanks(section)) + ']';
        header.eol = lineEnd();
        classify(header);
        m_lines.append(std::move(header));
        m_lines.append(std::move(keyLine));
        return true;
    }

    qsizetype lastFilled = sectionLine;
    for (qsizetype i = sectionLine + 1; i < m_lines.size() && m_lines.at(i).kind != Kind::Section;
         ++i) {
        Line &line = m_lines[i];
        if (line.kind == Kind::Key && keyName.matches(line.name(), gb)) {
            line.content = line.content.first(line.valueStart) + valueBytes;
            return true;
        }
        if (!trimmedBytes(line.content).isEmpty())
            lastFilled = i;
    }
    // A new key goes after the section's last line that is not blank.
    if (m_lines.at(lastFilled).eol.isEmpty())
        m_lines[lastFilled].eol = lineEnd();
    m_lines.insert(lastFilled + 1, std::move(keyLine));
    return true;
}

QByteArray ProfileDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Line &line : m_lines)
        size += line.content.size() + line.eol.size();
    ProfileText text;
    text.encoding = m_encoding;
    text.body.reserve(size);
    for (const Line &line : m_lines)
        text.body.append(line.content).append(line.eol);
    return text.toFileBytes();
}

} // namespace exam
