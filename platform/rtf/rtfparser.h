#pragma once

#include "rtfcodepage.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>

#include <limits>
#include <vector>

namespace rtf {

class Tokenizer;
struct Token;

enum class VerticalAlign : unsigned char { Normal, Super, Sub };
enum class Alignment : unsigned char { Left, Center, Right, Justify };
enum class RunType : unsigned char { Low, High, DoubleByte }; // \loch, \hich, \dbch

// Character properties of a group, as RTF numbers (font number, colour index, half points).
struct CharState
{
    int font = -1;         // -1: the document's default font
    int eastAsiaFont = -1; // \dbch\afN: font of double-byte runs
    int halfPoints = 24;
    int foreground = 0; // colour table index; 0 is "automatic"
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    VerticalAlign verticalAlign = VerticalAlign::Normal;
    RunType runType = RunType::Low;
    bool rightToLeft = false; // \rtlch: associated properties belong to complex scripts

    bool operator==(const CharState &) const = default;

    // The font the run is shown in: double-byte runs use their own font when one is given.
    int effectiveFont(int defaultFont) const
    {
        const int f = runType == RunType::DoubleByte && eastAsiaFont >= 0 ? eastAsiaFont : font;
        return f >= 0 ? f : defaultFont;
    }
};

// Paragraph properties in twips.
struct ParaState
{
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;       // \sl: 0 automatic, >0 at least, <0 exactly
    bool lineMultiple = false; // \slmult1: \sl is in 240ths of a line
    bool inTable = false;

    bool operator==(const ParaState &) const = default;
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0: the document's code page
};

struct Tables
{
    QHash<int, FontEntry> fonts;
    std::vector<QColor> colors; // an invalid colour stands for "automatic"
    int defaultFont = 0;
};

struct Picture
{
    enum class Type { Png, Jpeg, Other };
    Type type = Type::Other;
    QByteArray data;
    int width = 0; // \picw, pixels for bitmaps
    int height = 0;
    int goalWidth = 0; // \picwgoal, twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
};

// Receives the content of an RTF document in reading order.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void text(const QString &text, const CharState &chr, const ParaState &para) = 0;
    virtual void paragraph(const CharState &chr, const ParaState &para) = 0;
    virtual void cell(const ParaState &para) = 0;
    virtual void row() = 0;
    virtual void rowCells(int count) = 0;
    virtual void picture(const Picture &picture, const CharState &chr, const ParaState &para) = 0;
    virtual void finish(const ParaState &para) = 0;
};

bool looksLikeRtf(QByteArrayView data);

// Walks the group structure of an RTF document and reports its visible content to a sink.
// Groups are kept on an explicit stack with a depth limit, so no input can exhaust the call stack.
class Parser
{
public:
    explicit Parser(Sink &sink) : m_sink(sink) {}

    // False when the data does not start like RTF; otherwise reads as much as it can.
    bool parse(QByteArrayView data);

    const Tables &tables() const { return m_tables; }

    static constexpr int kMaxDepth = 1024;

private:
    enum class Destination : unsigned char {
        Text,
        FontTable,
        ColorTable,
        Picture,
        Skip,
        UprAlternative, // ANSI copy inside \upr: skipped unless it turns out to be \*\ud
        DefaultChar,    // \*\defchp: the document's default character properties
    };

    struct GroupState
    {
        Destination destination = Destination::Text;
        bool uprContainer = false;
        int unicodeSkip = 1; // \ucN
        CharState chr;
        ParaState para;
    };

    void groupStart();
    void groupEnd();
    void controlWord(const Token &token, Tokenizer &tokenizer);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    bool destinationWord(QByteArrayView word, bool starred);
    void textControlWord(QByteArrayView word, bool hasParameter, int parameter);

    void appendBytes(QByteArrayView bytes);
    void appendChar(char16_t c);
    void decodePending();
    void flushText();
    void endParagraph();
    int codePageOf(const CharState &chr);

    void fontTableText(QByteArrayView bytes);
    void commitFont();
    void colorTableText(QByteArrayView bytes);
    void pictureText(QByteArrayView bytes);
    void finishPicture();

    GroupState &state() { return m_stack.back(); }

    Sink &m_sink;
    Tables m_tables;
    CodePageDecoder m_decoder;
    std::vector<GroupState> m_stack;
    int m_overflowDepth = 0;
    int m_documentCodePage = kCodePageWestern;
    bool m_starPending = false;
    int m_skipRemaining = 0; // fallback units still to drop after \uN

    QByteArray m_pendingBytes;
    int m_pendingCodePage = 0;
    QString m_pendingText;
    CharState m_pendingChar;

    int m_fontNumber = -1;
    int m_fontCodePage = 0;
    QByteArray m_fontNameBytes;
    QString m_fontName;
    bool m_fontOpen = false;

    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;

    Picture m_picture;
    qsizetype m_pictureDepth = -1;
    int m_pictureNibble = -1;

    int m_rowCells = 0;
    ParaState m_lastPara;
    CharState m_defaultChar;

    static constexpr int kNoFont = std::numeric_limits<int>::min();
    int m_codePageFont = kNoFont;
    int m_codePageDocument = 0;
    int m_codePage = 0;
};

} // namespace rtf
