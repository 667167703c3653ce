#include "repository/profile_encoding.h"

#include <QStringDecoder>
#include <array>

namespace exam {
namespace {

// How much one character speaks for a reading being real Chinese text. GB18030 text misread as
// UTF-8 turns into Latin, Greek, Cyrillic and IPA letters, private-use code points and random
// (mostly rare) ideographs; UTF-8 text misread as GB18030 turns into rare ideographs, private-use
// code points and broken sequences. Real text is mostly the common ideographs of GB2312.
constexpr int CommonHanzi = 3;     // GB2312 level 1: the 3755 most used characters
constexpr int LessCommonHanzi = 2; // GB2312 level 2, which holds many characters of names
constexpr int Neutral = 0;         // ASCII, other ideographs in GBK (玥, 祎), punctuation
constexpr int Unusual = -1;        // symbols, rare ideographs, Latin-1 signs
constexpr int ForeignLetter = -3;  // letters of other scripts
constexpr int Broken = -5;         // controls, private use, replacement characters

constexpr char32_t HanziFirst = 0x4E00;
constexpr char32_t HanziLast = 0x9FFF;

enum HanziLevel : quint8 { NotInGb2312, Level1, Level2 };

// The GB2312 level of every character of the CJK Unified Ideographs block, from the GB18030
// decoder itself: level 1 is rows B0–D7, level 2 rows D8–F7.
const std::array<quint8, HanziLast - HanziFirst + 1> &hanziLevels()
{
    static const auto levels = [] {
        std::array<quint8, HanziLast - HanziFirst + 1> table{};
        QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
        for (int lead = 0xB0; lead <= 0xF7; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                const char bytes[] = {char(lead), char(trail)};
                const QString decoded = decoder.decode(QByteArrayView(bytes, 2));
                if (decoded.size() != 1)
                    continue;
                const char32_t c = decoded.at(0).unicode();
                if (c >= HanziFirst && c <= HanziLast)
                    table[c - HanziFirst] = lead <= 0xD7 ? Level1 : Level2;
            }
        }
        return table;
    }();
    return levels;
}

int characterWeight(char32_t c)
{
    if (c < 0x80)
        return Neutral;
    if (c >= HanziFirst && c <= HanziLast) {
        switch (hanziLevels()[c - HanziFirst]) {
        case Level1: return CommonHanzi;
        case Level2: return LessCommonHanzi;
        default: return Neutral;
        }
    }
    if (c < 0xA0)
        return Broken; // C1 controls
    if (c < 0xC0 || c == 0xD7 || c == 0xF7)
        return Unusual; // Latin-1 signs, × and ÷
    if (c < 0x800)
        return ForeignLetter;
    if ((c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) ||
        (c >= 0xFF00 && c <= 0xFFEF))
        return Neutral; // general, CJK and full-width punctuation
    if ((c >= 0x2100 && c <= 0x27FF) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0x20000 && c <= 0x3FFFF))
        return Unusual; // symbols, arrows, shapes; rare ideographs
    if ((c >= 0xE000 && c <= 0xF8FF) || (c >= 0xFFF0 && c <= 0xFFFF) || c >= 0xF0000)
        return Broken;
    return ForeignLetter;
}

qint64 plausibility(QStringView text)
{
    qint64 total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        total += characterWeight(c);
    }
    return total;
}

bool holdsNonAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

bool isEncodingGuessed(QByteArrayView bytes)
{
    // A GB18030 file is rarely valid UTF-8, and the check stops at its first Chinese character.
    return bytes.isValidUtf8() && holdsNonAscii(bytes);
}

ProfileEncoding detectEncoding(QByteArrayView bytes)
{
    if (!isEncodingGuessed(bytes))
        return ProfileEncoding::Gb18030;
    QStringDecoder gb18030("GB18030", QStringConverter::Flag::Stateless);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asGb18030 = gb18030.decode(bytes);
    const QString asUtf8 = utf8.decode(bytes);
    return plausibility(asUtf8) > plausibility(asGb18030) ? ProfileEncoding::Utf8
                                                          : ProfileEncoding::Gb18030;
}

} // namespace exam
