#include "repository/profile_format.h"

#include "repository/profile_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <array>
#include <cstring>

namespace exam {
namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char Utf16LeBom[] = "\xFF\xFE";

// Only spaces are blanks around names and values, as for the Windows profile functions; a tab
// belongs to the name or value.
bool isBlankByte(char c)
{
    return c == ' ';
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

QByteArrayView withoutTrailingBlanks(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && isBlankByte(bytes.back()))
        bytes.chop(1);
    return bytes;
}

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin);
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// One pair of matching outer quotes is not part of the value. Neither quote byte occurs inside a
// GB18030 or UTF-8 character.
QByteArrayView withoutOuterQuotes(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') &&
        bytes.back() == bytes.front())
        return bytes.sliced(1, bytes.size() - 2);
    return bytes;
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
                                        QStringConverter::Flag::Stateless |
                                            QStringConverter::Flag::ConvertInitialBom);
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

// One line of a file: where it starts, its length without the line end, the line end's length and
// where its first "=" is (-1: none), counted from the line's start.
struct LineSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype eolLength = 0;
    qsizetype equals = -1;
};

// The bytes at which a line scan stops: line ends and "=".
constexpr std::array<bool, 256> LineStops = [] {
    std::array<bool, 256> stops{};
    stops['\n'] = stops['\r'] = stops['='] = true;
    return stops;
}();

// Calls `visit(LineSpan)` for every line; a line ends at CRLF, LF or a lone CR. `visit` returns
// false to stop. One pass over each line finds its end and its first "=".
template <typename Visit> void forEachLine(QByteArrayView body, Visit &&visit)
{
    const char *p = body.data();
    const qsizetype n = body.size();
    qsizetype start = 0;
    while (start < n) {
        LineSpan line{start, 0, 0, -1};
        qsizetype i = start;
        for (;;) {
            while (i < n && !LineStops[static_cast<unsigned char>(p[i])])
                ++i;
            if (i == n || p[i] != '=')
                break;
            if (line.equals < 0)
                line.equals = i - start;
            ++i;
        }
        line.length = i - start;
        if (i < n)
            line.eolLength = (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
        if (!visit(line))
            return;
        start = i + line.eolLength;
    }
}

enum class LineKind { Other, Comment, Section, Key };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QByteArrayView name;      // trimmed
    qsizetype valueStart = 0; // for keys: first byte after "="
};

// The last "]" of the line, which ends a section name, or -1. In GB18030 a trail byte can have the
// value of "]", so the search steps over whole characters.
qsizetype lastClosingBracket(QByteArrayView line, qsizetype from, bool gb18030)
{
    if (!gb18030) {
        const qsizetype pos = line.lastIndexOf(']');
        return pos < from ? -1 : pos;
    }
    qsizetype last = -1;
    for (qsizetype i = from; i < line.size(); i += gbCharLength(line, i)) {
        if (line[i] == ']')
            last = i;
    }
    return last;
}

// A line is a comment when its first non-blank character is ";", a section header when it is "["
// and the line holds a "]" after it, a key when it holds "=" (the name may be empty). `equals` is
// where the line's first "=" is, or -1.
ParsedLine parseLine(QByteArrayView line, qsizetype equals, bool gb18030)
{
    qsizetype i = 0;
    while (i < line.size() && isBlankByte(line[i]))
        ++i;
    if (i < line.size() && line[i] == ';')
        return {LineKind::Comment, {}, 0};
    if (i < line.size() && line[i] == '[') {
        const qsizetype end = lastClosingBracket(line, i + 1, gb18030);
        if (end >= 0)
            return {LineKind::Section, trimmedBytes(line.sliced(i + 1, end - i - 1)), 0};
    }
    // "=" (0x3D) is never part of a multi-byte character in GB18030 or UTF-8.
    if (equals < 0)
        return {};
    return {LineKind::Key, trimmedBytes(line.first(equals)), equals + 1};
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

constexpr quint64 EveryByte = 0x0101010101010101ULL;

// Eight bytes with their ASCII capital letters made small; every other byte stays. Each byte's
// low seven bits plus an offset carry into its top bit from "A" on and from past "Z" on.
quint64 asciiLowered(quint64 word)
{
    const quint64 low7 = word & (0x7F * EveryByte);
    const quint64 fromA = low7 + (0x80 - 'A') * EveryByte;
    const quint64 pastZ = low7 + (0x80 - 'Z' - 1) * EveryByte;
    const quint64 capitals = (fromA ^ pastZ) & ~word & (0x80 * EveryByte);
    return word | (capitals >> 2);
}

// Up to eight bytes of a name as one word, the first byte lowest; missing bytes are zero.
quint64 wordAt(const char *bytes, qsizetype available)
{
    quint64 word = 0;
    if (available >= 8) {
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }
    for (qsizetype i = 0; i < available; ++i)
        word |= quint64(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return word;
}

struct FoldedHash
{
    size_t hash = 0;
    bool ascii = true;
};

// The hash of a name's bytes with ASCII letters folded, and of its section.
FoldedHash foldedHash(QByteArrayView bytes, qsizetype section)
{
    quint64 h = (quint64(section) << 32) ^ quint64(bytes.size());
    quint64 seen = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 8) {
        const quint64 word = wordAt(bytes.data() + i, bytes.size() - i);
        seen |= word;
        h = (h ^ asciiLowered(word)) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 32;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return {size_t(h), (seen & (0x80 * EveryByte)) == 0};
}

ProfileName profileName(QByteArrayView bytes, qsizetype section)
{
    return {bytes.data(), bytes.size(), section, foldedHash(bytes, section).hash};
}

QStringView trimmedSpaces(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

using NameBytes = QVarLengthArray<char, 64>;

// The bytes under which the index holds a name asked for (see ProfileName). False for a name that
// no name in a file can equal: one holding a lone surrogate, which no decoding yields.
bool askedNameBytes(const QString &name, NameBytes &bytes)
{
    const QStringView trimmed = trimmedSpaces(name);
    bool ascii = true;
    for (QChar c : trimmed)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        bytes.resize(trimmed.size());
        for (qsizetype i = 0; i < trimmed.size(); ++i)
            bytes[i] = char(trimmed.at(i).unicode());
        return true;
    }
    const QString folded = trimmed.toString().toCaseFolded();
    if (!folded.isValidUtf16())
        return false;
    const QByteArray utf8 = folded.toUtf8();
    bytes.resize(utf8.size());
    std::memcpy(bytes.data(), utf8.constData(), size_t(utf8.size()));
    return true;
}

} // namespace

bool operator==(const ProfileName &a, const ProfileName &b)
{
    if (a.hash != b.hash || a.size != b.size || a.section != b.section)
        return false;
    for (qsizetype i = 0; i < a.size; i += 8) {
        if (asciiLowered(wordAt(a.bytes + i, a.size - i)) !=
            asciiLowered(wordAt(b.bytes + i, b.size - i)))
            return false;
    }
    return true;
}

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
    case ProfileEncoding::Utf8: return body;
    case ProfileEncoding::Utf8Bom: return QByteArray(Utf8Bom) + body;
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
    rawValue = withoutOuterQuotes(trimmedBytes(rawValue));
    if (gb18030) {
        if (rawValue.size() > MaxValueBytes)
            rawValue =
                withoutTrailingBlanks(rawValue.first(gbPrefixLength(rawValue, MaxValueBytes)));
        return decodeText(rawValue, true);
    }
    const QString text = decodeText(rawValue, false);
    const QString cut = cutToGbLimit(text);
    if (cut.size() == text.size())
        return text;
    qsizetype end = cut.size();
    while (end > 0 && cut.at(end - 1) == QLatin1Char(' '))
        --end;
    return cut.first(end);
}

QString profileDefaultText(const QString &defaultValue)
{
    qsizetype end = defaultValue.size();
    while (end > 0 && defaultValue.at(end - 1) == QLatin1Char(' '))
        --end;
    return end == defaultValue.size() ? defaultValue : defaultValue.first(end);
}

QString foldProfileName(const QString &name)
{
    return trimSpaces(name).toCaseFolded();
}

QString storedValueText(const QString &value)
{
    const QString core = trimSpaces(value);
    if (core.size() >= 2 && isQuote(core.front()) && core.back() == core.front())
        return u'"' + core + u'"';
    return value;
}

std::optional<QString> findProfileValue(const QByteArray &fileBytes, const QString &section,
                                        const QString &key)
{
    const NameMatcher sectionName(section);
    const NameMatcher keyName(key);
    const ProfileText text = ProfileText::fromFileBytes(fileBytes);
    const bool gb = text.isGb18030();
    const QByteArrayView body(text.body);
    bool sectionSeen = false;
    bool inSection = false;
    std::optional<QString> result;
    forEachLine(body, [&](const LineSpan &span) {
        const QByteArrayView line = body.sliced(span.start, span.length);
        const ParsedLine parsed = parseLine(line, span.equals, gb);
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
    // A key line takes at least a dozen bytes in the files the programs write. Reserving costs
    // about two bytes per entry; the entries themselves are made as keys are found.
    index.m_keys.reserve(body.size() / 12);
    qsizetype current = -1; // keys before the first section belong to none
    forEachLine(body, [&](const LineSpan &span) {
        const QByteArrayView line = body.sliced(span.start, span.length);
        const ParsedLine parsed = parseLine(line, span.equals, gb);
        if (parsed.kind == LineKind::Section) {
            Section &section = index.m_sections[index.nameInFile(parsed.name, -1)];
            if (section.number >= 0) {
                current = -1; // a repeated section is not read
            } else {
                section = {index.m_sections.size() - 1, span.start};
                current = section.number;
            }
        } else if (parsed.kind == LineKind::Key && current >= 0) {
            ValueRef &value = index.m_keys[index.nameInFile(parsed.name, current)];
            if (value.start < 0) // only the first key of a name counts
                value = {span.start + parsed.valueStart, span.length - parsed.valueStart};
        }
        return true;
    });
    return index;
}

ProfileName ProfileIndex::nameInFile(QByteArrayView raw, qsizetype section)
{
    const FoldedHash folded = foldedHash(raw, section);
    if (folded.ascii)
        return {raw.data(), raw.size(), section, folded.hash};
    m_foldedNames.append(foldRawName(raw, m_text.isGb18030()).toUtf8());
    return profileName(m_foldedNames.constLast(), section);
}

std::optional<ProfileIndex::Section> ProfileIndex::findSection(const QString &section) const
{
    NameBytes bytes;
    if (!askedNameBytes(section, bytes))
        return std::nullopt;
    const auto it = m_sections.constFind(profileName(QByteArrayView(bytes), -1));
    if (it == m_sections.cend())
        return std::nullopt;
    return *it;
}

std::optional<ProfileIndex::ValueRef> ProfileIndex::findKey(qsizetype sectionNumber,
                                                            const QString &key) const
{
    NameBytes bytes;
    if (!askedNameBytes(key, bytes))
        return std::nullopt;
    const auto it = m_keys.constFind(profileName(QByteArrayView(bytes), sectionNumber));
    if (it == m_keys.cend())
        return std::nullopt;
    return *it;
}

std::optional<ProfileIndex::ValueRef> ProfileIndex::findKey(const QString &section,
                                                            const QString &key) const
{
    const std::optional<Section> found = findSection(section);
    if (!found)
        return std::nullopt;
    return findKey(found->number, key);
}

std::optional<qsizetype> ProfileIndex::sectionNumber(const QString &section) const
{
    const std::optional<Section> found = findSection(section);
    if (!found)
        return std::nullopt;
    return found->number;
}

std::optional<QByteArrayView> ProfileIndex::rawValue(qsizetype sectionNumber,
                                                     const QString &key) const
{
    const std::optional<ValueRef> found = findKey(sectionNumber, key);
    if (!found)
        return std::nullopt;
    return QByteArrayView(m_text.body).sliced(found->start, found->length);
}

std::optional<QString> ProfileIndex::value(qsizetype sectionNumber, const QString &key) const
{
    const std::optional<ValueRef> found = findKey(sectionNumber, key);
    if (!found)
        return std::nullopt;
    return profileValueText(QByteArrayView(m_text.body).sliced(found->start, found->length),
                            m_text.isGb18030());
}

std::optional<QString> ProfileIndex::value(const QString &section, const QString &key) const
{
    const std::optional<ValueRef> found = findKey(section, key);
    if (!found)
        return std::nullopt;
    return profileValueText(QByteArrayView(m_text.body).sliced(found->start, found->length),
                            m_text.isGb18030());
}

bool ProfileIndex::containsSection(const QString &section) const
{
    return findSection(section).has_value();
}

int ProfileIndex::lineAt(qsizetype offset) const
{
    int line = 1;
    forEachLine(QByteArrayView(m_text.body).first(offset), [&line](const LineSpan &span) {
        line += span.eolLength > 0;
        return true;
    });
    return line;
}

int ProfileIndex::sectionLine(const QString &section) const
{
    const std::optional<Section> found = findSection(section);
    return found ? lineAt(found->headerStart) : 0;
}

int ProfileIndex::keyLine(const QString &section, const QString &key) const
{
    const std::optional<ValueRef> found = findKey(section, key);
    return found ? lineAt(found->start) : 0;
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
    forEachLine(body, [&](const LineSpan &span) {
        Line line;
        line.content = QByteArray::fromRawData(body.data() + span.start, span.length);
        line.eol = span.eolLength == 2                      ? lineEnds[1]
                   : span.eolLength == 0                    ? lineEnds[0]
                   : body[span.start + span.length] == '\n' ? lineEnds[2]
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
    const ParsedLine parsed = parseLine(line.content, line.content.indexOf('='), gb);
    line.kind = parsed.kind == LineKind::Section   ? Kind::Section
                : parsed.kind == LineKind::Key     ? Kind::Key
                : parsed.kind == LineKind::Comment ? Kind::Comment
                                                   : Kind::Other;
    const bool named = line.kind == Kind::Section || line.kind == Kind::Key;
    line.nameStart = named ? parsed.name.data() - line.content.constData() : 0;
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
    const QString name = trimSpaces(section);
    return !name.contains(QLatin1Char(']')) && !holdsLineBreakOrNul(name);
}

bool ProfileDocument::isWritableKey(const QString &key)
{
    // A key starting with "[" could read as a section header, one starting with ";" as a comment.
    const QString name = trimSpaces(key);
    return !name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('[')) &&
           !name.startsWith(QLatin1Char(';')) && !holdsLineBreakOrNul(name);
}

bool ProfileDocument::set(const QString &section, const QString &key, const QString &value)
{
    if (!isWritableSection(section) || !isWritableKey(key))
        return false;
    QString cleanValue = value;
    cleanValue.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QChar(0), QLatin1Char(' '));
    const QByteArray valueBytes = encode(storedValueText(cleanValue));
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
    keyLine.content = encode(trimSpaces(key)) + '=' + valueBytes;
    keyLine.eol = lineEnd();
    classify(keyLine);
    if (sectionLine < 0) {
        if (!m_lines.isEmpty() && m_lines.last().eol.isEmpty())
            m_lines.last().eol = lineEnd();
        Line header;
        header.content = '[' + encode(trimSpaces(section)) + ']';
        header.eol = lineEnd();
        classify(header);
        m_lines.append(std::move(header));
        m_lines.append(std::move(keyLine));
        return true;
    }

    qsizetype lastEntry = sectionLine;
    for (qsizetype i = sectionLine + 1; i < m_lines.size() && m_lines.at(i).kind != Kind::Section;
         ++i) {
        Line &line = m_lines[i];
        if (line.kind == Kind::Key && keyName.matches(line.name(), gb)) {
            line.content = line.content.first(line.valueStart) + valueBytes;
            // A rewritten last line gets the line end the file lacked.
            if (line.eol.isEmpty())
                line.eol = lineEnd();
            return true;
        }
        if (line.kind != Kind::Comment && !trimmedBytes(line.content).isEmpty())
            lastEntry = i;
    }
    // A new key goes after the section's last entry, before trailing comments and blank lines.
    if (m_lines.at(lastEntry).eol.isEmpty())
        m_lines[lastEntry].eol = lineEnd();
    m_lines.insert(lastEntry + 1, std::move(keyLine));
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
