#include "rtfparser.h"

#include "rtftokenizer.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

namespace rtf {

namespace {

// The control words in their groups, laid out by hand so each group reads as one.
// clang-format off
enum class Word {
    Unknown,
    // header
    Ansi, Mac, Pc, Pca, AnsiCpg, DefaultFont, UnicodeSkip, Unicode,
    // destinations
    FontTable, ColorTable, Pict, Skip, Keep, Upr, Ud, DefaultChar,
    // tables of fonts and colours
    Font, FontCharset, CodePage, Red, Green, Blue,
    // character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Super, Sub, NoSuperSub, Up, Down,
    FontSize, Foreground, Background, Hidden, AssocFont, AssocFontSize, AssocBold, AssocItalic,
    LowRun, HighRun, DoubleByteRun, RightToLeftRun, LeftToRightRun,
    // paragraph formatting
    Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent,
    SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, InTable,
    // special characters and breaks
    Par, Line, Tab, EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, EmSpace,
    EnSpace, QmSpace, Zwj, Zwnj, NestCell, NestRow,
    // tables
    RowDefaults, CellBoundary, Cell, Row,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PicWidth, PicHeight, PicGoalWidth, PicGoalHeight, PicScaleX,
    PicScaleY, Bin,
};

const std::unordered_map<std::string_view, Word> &wordTable()
{
    static const std::unordered_map<std::string_view, Word> table = {
        {"ansi", Word::Ansi}, {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca},
        {"ansicpg", Word::AnsiCpg}, {"deff", Word::DefaultFont}, {"uc", Word::UnicodeSkip},
        {"u", Word::Unicode},
        {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable}, {"pict", Word::Pict},
        {"upr", Word::Upr}, {"ud", Word::Ud}, {"defchp", Word::DefaultChar},
        // Destinations whose content is never shown, starred or not.
        {"stylesheet", Word::Skip}, {"info", Word::Skip}, {"header", Word::Skip},
        {"headerl", Word::Skip}, {"headerr", Word::Skip}, {"headerf", Word::Skip},
        {"footer", Word::Skip}, {"footerl", Word::Skip}, {"footerr", Word::Skip},
        {"footerf", Word::Skip}, {"footnote", Word::Skip}, {"annotation", Word::Skip},
        {"fldinst", Word::Skip}, {"objdata", Word::Skip}, {"pn", Word::Skip},
        {"listtable", Word::Skip}, {"listoverridetable", Word::Skip}, {"revtbl", Word::Skip},
        {"rsidtbl", Word::Skip}, {"filetbl", Word::Skip}, {"template", Word::Skip},
        {"nonshppict", Word::Skip}, {"xe", Word::Skip}, {"tc", Word::Skip}, {"txe", Word::Skip},
        {"ftnsep", Word::Skip}, {"ftnsepc", Word::Skip}, {"ftncn", Word::Skip},
        {"aftnsep", Word::Skip}, {"aftnsepc", Word::Skip}, {"aftncn", Word::Skip},
        {"author", Word::Skip}, {"operator", Word::Skip}, {"title", Word::Skip},
        {"subject", Word::Skip}, {"keywords", Word::Skip}, {"comment", Word::Skip},
        {"doccomm", Word::Skip}, {"creatim", Word::Skip}, {"revtim", Word::Skip},
        {"printim", Word::Skip}, {"buptim", Word::Skip}, {"shpinst", Word::Skip},
        {"shptxt", Word::Skip}, {"do", Word::Skip}, {"atnid", Word::Skip},
        {"atnauthor", Word::Skip}, {"atndate", Word::Skip}, {"pnseclvl", Word::Skip},
        {"bkmkstart", Word::Skip}, {"bkmkend", Word::Skip}, {"field", Word::Keep},
        {"fldrslt", Word::Keep}, {"shppict", Word::Keep}, {"result", Word::Keep},
        {"object", Word::Keep}, {"listtext", Word::Keep}, {"pntext", Word::Keep},
        {"f", Word::Font}, {"fcharset", Word::FontCharset}, {"cpg", Word::CodePage},
        {"red", Word::Red}, {"green", Word::Green}, {"blue", Word::Blue},
        {"plain", Word::Plain}, {"b", Word::Bold}, {"i", Word::Italic}, {"ul", Word::Underline},
        {"uld", Word::Underline}, {"uldb", Word::Underline}, {"uldash", Word::Underline},
        {"uldashd", Word::Underline}, {"uldashdd", Word::Underline}, {"ulth", Word::Underline},
        {"ulw", Word::Underline}, {"ulwave", Word::Underline}, {"ulhwave", Word::Underline},
        {"ululdbwave", Word::Underline}, {"ulldash", Word::Underline},
        {"ulthd", Word::Underline}, {"ulthdash", Word::Underline},
        {"ulnone", Word::UnderlineNone}, {"strike", Word::Strike}, {"striked", Word::Strike},
        {"super", Word::Super}, {"sub", Word::Sub}, {"nosupersub", Word::NoSuperSub},
        {"up", Word::Up}, {"dn", Word::Down}, {"fs", Word::FontSize}, {"cf", Word::Foreground},
        {"cb", Word::Background}, {"highlight", Word::Background},
        {"chcbpat", Word::Background}, {"v", Word::Hidden}, {"af", Word::AssocFont},
        {"afs", Word::AssocFontSize}, {"ab", Word::AssocBold}, {"ai", Word::AssocItalic},
        {"loch", Word::LowRun}, {"hich", Word::HighRun}, {"dbch", Word::DoubleByteRun},
        {"rtlch", Word::RightToLeftRun}, {"ltrch", Word::LeftToRightRun},
        {"pard", Word::Pard}, {"ql", Word::AlignLeft}, {"qc", Word::AlignCenter},
        {"qr", Word::AlignRight}, {"qj", Word::AlignJustify}, {"qd", Word::AlignJustify},
        {"li", Word::LeftIndent}, {"lin", Word::LeftIndent}, {"ri", Word::RightIndent},
        {"rin", Word::RightIndent}, {"fi", Word::FirstIndent}, {"sb", Word::SpaceBefore},
        {"sa", Word::SpaceAfter}, {"sl", Word::LineSpacing}, {"slmult", Word::LineMultiple},
        {"intbl", Word::InTable},
        {"par", Word::Par}, {"sect", Word::Par}, {"page", Word::Par}, {"line", Word::Line},
        {"tab", Word::Tab}, {"emdash", Word::EmDash}, {"endash", Word::EnDash},
        {"bullet", Word::Bullet}, {"lquote", Word::LQuote}, {"rquote", Word::RQuote},
        {"ldblquote", Word::LDblQuote}, {"rdblquote", Word::RDblQuote},
        {"emspace", Word::EmSpace}, {"enspace", Word::EnSpace}, {"qmspace", Word::QmSpace},
        {"zwj", Word::Zwj}, {"zwnj", Word::Zwnj}, {"nestcell", Word::NestCell},
        {"nestrow", Word::NestRow},
        {"trowd", Word::RowDefaults}, {"cellx", Word::CellBoundary}, {"cell", Word::Cell},
        {"row", Word::Row},
        {"pngblip", Word::PngBlip}, {"jpegblip", Word::JpegBlip}, {"emfblip", Word::OtherBlip},
        {"wmetafile", Word::OtherBlip}, {"macpict", Word::OtherBlip},
        {"dibitmap", Word::OtherBlip}, {"wbitmap", Word::OtherBlip},
        {"pmmetafile", Word::OtherBlip}, {"picw", Word::PicWidth}, {"pich", Word::PicHeight},
        {"picwgoal", Word::PicGoalWidth}, {"pichgoal", Word::PicGoalHeight},
        {"picscalex", Word::PicScaleX}, {"picscaley", Word::PicScaleY}, {"bin", Word::Bin},
    };
    return table;
}
// clang-format on

Word lookup(QByteArrayView word)
{
    const auto &table = wordTable();
    const auto it = table.find(std::string_view(word.data(), static_cast<size_t>(word.size())));
    return it == table.end() ? Word::Unknown : it->second;
}

// Twips beyond 22 inches are no real layout; clamping keeps later arithmetic in range.
int clampTwips(int value)
{
    return std::clamp(value, -31680, 31680);
}

constexpr char16_t kObjectReplacement = 0xFFFC;

} // namespace

bool looksLikeRtf(QByteArrayView data)
{
    qsizetype pos = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < data.size() &&
           (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\r' || data[pos] == '\n'))
        ++pos;
    return data.sliced(pos).startsWith("{\\rtf");
}

bool Parser::parse(QByteArrayView data)
{
    if (!looksLikeRtf(data))
        return false;

    m_stack.clear();
    m_stack.reserve(64);
    m_stack.emplace_back(); // state outside the document group
    Tokenizer tokenizer(data);
    bool started = false;
    for (;;) {
        const Token token = tokenizer.next();
        if (token.kind == Token::Kind::End)
            break;
        if (token.kind == Token::Kind::GroupStart) {
            started = true;
            groupStart();
            continue;
        }
        if (token.kind == Token::Kind::GroupEnd) {
            groupEnd();
            if (started && m_stack.size() == 1 && m_overflowDepth == 0)
                break; // the document group is closed; whatever follows is not part of it
            continue;
        }
        if (m_skipRemaining > 0) {
            // Fallback text for the preceding \uN: one unit per byte, escape or control word.
            if (token.kind == Token::Kind::Text) {
                const qsizetype skip = std::min<qsizetype>(m_skipRemaining, token.text.size());
                m_skipRemaining -= static_cast<int>(skip);
                if (skip < token.text.size())
                    textBytes(token.text.sliced(skip));
                continue;
            }
            --m_skipRemaining;
            if (token.kind == Token::Kind::ControlWord && token.text == "bin" &&
                token.parameter > 0)
                tokenizer.takeBinary(token.parameter);
            continue;
        }
        if (m_starPending && token.kind != Token::Kind::ControlWord &&
            !(token.kind == Token::Kind::Text && token.text.trimmed().isEmpty())) {
            // \* before anything but a control word still marks the group as ignorable.
            m_starPending = false;
            state().destination = Destination::Skip;
            continue;
        }
        switch (token.kind) {
        case Token::Kind::ControlWord: controlWord(token, tokenizer); break;
        case Token::Kind::ControlSymbol: controlSymbol(token.symbol); break;
        case Token::Kind::HexByte: {
            const char byte = static_cast<char>(token.byte);
            if (state().destination == Destination::Text)
                appendBytes(QByteArrayView(&byte, 1));
            else if (state().destination == Destination::FontTable)
                fontTableText(QByteArrayView(&byte, 1));
            break;
        }
        case Token::Kind::Text: textBytes(token.text); break;
        default: break;
        }
    }

    // A truncated document: close what is open so a pending picture or font still counts.
    while (m_stack.size() > 1 || m_overflowDepth > 0)
        groupEnd();
    flushText();
    m_sink.finish(m_lastPara);
    return true;
}

void Parser::groupStart()
{
    m_skipRemaining = 0;
    if (m_stack.size() >= static_cast<size_t>(kMaxDepth)) {
        // Deeper groups share the innermost state; their text still reaches the sink.
        ++m_overflowDepth;
        return;
    }
    GroupState child = m_stack.back();
    child.uprContainer = false;
    switch (child.destination) {
    case Destination::Picture:
    case Destination::ColorTable:
    case Destination::UprAlternative: child.destination = Destination::Skip; break;
    default: break;
    }
    if (m_stack.back().uprContainer)
        child.destination = Destination::UprAlternative;
    m_stack.push_back(child);
    m_starPending = false;
}

void Parser::groupEnd()
{
    m_skipRemaining = 0;
    m_starPending = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return;
    const Destination ending = state().destination;
    if (ending == Destination::FontTable)
        commitFont();
    if (ending == Destination::DefaultChar)
        m_defaultChar = state().chr;
    if (ending == Destination::Picture &&
        static_cast<qsizetype>(m_stack.size()) - 1 == m_pictureDepth)
        finishPicture();
    if (m_stack.size() == 2) { // the document group: its last paragraph has no mark of its own
        flushText();
        m_lastPara = state().para;
    } else if (ending == Destination::Text && !(m_stack[m_stack.size() - 2].chr == state().chr)) {
        flushText();
    }
    m_stack.pop_back();
}

void Parser::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    GroupState &s = state();
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        if (s.destination == Destination::Text)
            appendBytes(QByteArrayView(&symbol, 1));
        else if (s.destination == Destination::FontTable)
            fontTableText(QByteArrayView(&symbol, 1));
        break;
    }
    case '~':
        if (s.destination == Destination::Text)
            appendChar(u'\u00A0');
        break;
    case '_':
        if (s.destination == Destination::Text)
            appendChar(u'\u2011');
        break;
    case '\t': // some writers escape a literal tab
        if (s.destination == Destination::Text)
            appendChar(u'\t');
        break;
    default: // \- optional hyphen, \: index sub-entry and anything unknown show nothing
        break;
    }
}

void Parser::controlWord(const Token &token, Tokenizer &tokenizer)
{
    const bool starred = m_starPending;
    m_starPending = false;
    const Word word = lookup(token.text);

    if (word == Word::Bin) {
        const QByteArrayView bytes = tokenizer.takeBinary(token.hasParameter ? token.parameter : 0);
        if (state().destination == Destination::Picture)
            m_picture.data.append(bytes);
        return;
    }
    if (destinationWord(token.text, starred))
        return;

    GroupState &s = state();
    const int param = token.parameter;
    const bool hasParam = token.hasParameter;
    switch (s.destination) {
    case Destination::Skip:
    case Destination::UprAlternative: return;
    case Destination::FontTable:
        if (word == Word::Font) {
            commitFont();
            m_fontNumber = param;
            m_fontOpen = true;
        } else if (word == Word::FontCharset) {
            if (const int cp = codePageForCharset(param); cp != 0 && m_fontCodePage == 0)
                m_fontCodePage = cp;
        } else if (word == Word::CodePage && param > 0) {
            m_fontCodePage = param;
        } else if (word == Word::Unicode) {
            if (!m_fontNameBytes.isEmpty())
                m_fontName += m_decoder.decode(m_fontCodePage ? m_fontCodePage : m_documentCodePage,
                                               m_fontNameBytes);
            m_fontNameBytes.clear();
            m_fontName += QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param));
            m_skipRemaining = s.unicodeSkip;
        } else if (word == Word::UnicodeSkip) {
            s.unicodeSkip = std::clamp(param, 0, 64);
        }
        return;
    case Destination::ColorTable:
        if (word == Word::Red)
            m_red = std::clamp(param, 0, 255);
        else if (word == Word::Green)
            m_green = std::clamp(param, 0, 255);
        else if (word == Word::Blue)
            m_blue = std::clamp(param, 0, 255);
        return;
    case Destination::Picture:
        switch (word) {
        case Word::PngBlip: m_picture.type = Picture::Type::Png; break;
        case Word::JpegBlip: m_picture.type = Picture::Type::Jpeg; break;
        case Word::OtherBlip: m_picture.type = Picture::Type::Other; break;
        case Word::PicWidth: m_picture.width = param; break;
        case Word::PicHeight: m_picture.height = param; break;
        case Word::PicGoalWidth: m_picture.goalWidth = param; break;
        case Word::PicGoalHeight: m_picture.goalHeight = param; break;
        case Word::PicScaleX: m_picture.scaleX = param; break;
        case Word::PicScaleY: m_picture.scaleY = param; break;
        default: break;
        }
        return;
    case Destination::DefaultChar:
        // Only character properties: what \plain goes back to.
        if (word == Word::Font || (word >= Word::Plain && word <= Word::LeftToRightRun))
            textControlWord(token.text, hasParam, param);
        return;
    case Destination::Text: break;
    }

    switch (word) {
    case Word::Ansi: m_documentCodePage = kCodePageWestern; return;
    case Word::Mac: m_documentCodePage = 10000; return;
    case Word::Pc: m_documentCodePage = 437; return;
    case Word::Pca: m_documentCodePage = 850; return;
    case Word::AnsiCpg:
        if (param > 0)
            m_documentCodePage = param;
        return;
    case Word::DefaultFont: m_tables.defaultFont = param; return;
    case Word::UnicodeSkip: s.unicodeSkip = std::clamp(param, 0, 64); return;
    case Word::Unicode: {
        if (!s.chr.hidden) {
            const int code = param < 0 ? param + 65536 : param;
            if (code == '\t' || (code >= 0x20 && code <= 0xFFFF && code != kObjectReplacement))
                appendChar(static_cast<char16_t>(code));
            else if (code > 0xFFFF || code < 0)
                appendChar(u'\uFFFD');
            // other control characters are noise, as in the byte stream; an object placeholder
            // without its object would turn into a picture slot in the document
        }
        m_skipRemaining = s.unicodeSkip;
        return;
    }
    default: textControlWord(token.text, hasParam, param); return;
    }
}

// Handles words that change the destination of the current group. Returns true when consumed.
bool Parser::destinationWord(QByteArrayView name, bool starred)
{
    GroupState &s = state();
    if (s.destination == Destination::UprAlternative) {
        if (name == "ud") // the Unicode copy: read it as the \upr group's own content
            s.destination = m_stack[m_stack.size() - 2].destination;
        return true;
    }
    if (s.destination == Destination::Skip)
        return false;

    const Word word = lookup(name);
    switch (word) {
    case Word::FontTable: s.destination = Destination::FontTable; return true;
    case Word::ColorTable:
        s.destination = Destination::ColorTable;
        m_red = m_green = m_blue = -1;
        return true;
    case Word::Pict:
        if (s.destination != Destination::Text || m_pictureDepth >= 0) {
            s.destination = Destination::Skip;
            return true;
        }
        flushText();
        s.destination = Destination::Picture;
        m_picture = Picture{};
        m_pictureNibble = -1;
        m_pictureDepth = static_cast<qsizetype>(m_stack.size()) - 1;
        return true;
    case Word::Skip: s.destination = Destination::Skip; return true;
    case Word::Upr: s.uprContainer = true; return true;
    case Word::DefaultChar:
        s.destination =
            s.destination == Destination::Text ? Destination::DefaultChar : Destination::Skip;
        return true;
    case Word::Ud: return true;
    case Word::Keep: return true;
    default:
        if (starred) { // an optional destination this reader does not know
            s.destination = Destination::Skip;
            return true;
        }
        return false;
    }
}

void Parser::textControlWord(QByteArrayView name, bool hasParam, int param)
{
    GroupState &s = state();
    CharState &c = s.chr;
    ParaState &p = s.para;
    // A toggle word without parameter, or with a non-zero one, switches on.
    const bool on = !hasParam || param != 0;
    switch (lookup(name)) {
    case Word::Font: c.font = param; break;
    case Word::Plain: c = m_defaultChar; break;
    case Word::Bold: c.bold = on; break;
    case Word::Italic: c.italic = on; break;
    case Word::Underline: c.underline = on; break;
    case Word::UnderlineNone: c.underline = false; break;
    case Word::Strike: c.strike = on; break;
    case Word::Super: c.verticalAlign = VerticalAlign::Super; break;
    case Word::Sub: c.verticalAlign = VerticalAlign::Sub; break;
    case Word::NoSuperSub: c.verticalAlign = VerticalAlign::Normal; break;
    case Word::Up: c.verticalAlign = on ? VerticalAlign::Super : VerticalAlign::Normal; break;
    case Word::Down: c.verticalAlign = on ? VerticalAlign::Sub : VerticalAlign::Normal; break;
    case Word::FontSize: c.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24; break;
    case Word::Foreground: c.foreground = std::max(param, 0); break;
    case Word::Background: c.background = std::max(param, 0); break;
    case Word::Hidden: c.hidden = on; break;
    // Associated properties: those for complex scripts (\rtlch, \hich) are not shown here;
    // otherwise they describe the run itself, \af of a \dbch run its East Asian font.
    case Word::AssocFont:
        if (!c.rightToLeft && c.runType == RunType::DoubleByte)
            c.eastAsiaFont = param;
        else if (!c.rightToLeft && c.runType == RunType::Low)
            c.font = param;
        break;
    case Word::AssocFontSize:
        if (!c.rightToLeft && c.runType != RunType::High && param > 0)
            c.halfPoints = std::min(param, 3276);
        break;
    case Word::AssocBold:
        if (!c.rightToLeft && c.runType != RunType::High)
            c.bold = on;
        break;
    case Word::AssocItalic:
        if (!c.rightToLeft && c.runType != RunType::High)
            c.italic = on;
        break;
    case Word::LowRun: c.runType = RunType::Low; break;
    case Word::HighRun: c.runType = RunType::High; break;
    case Word::DoubleByteRun: c.runType = RunType::DoubleByte; break;
    case Word::RightToLeftRun: c.rightToLeft = true; break;
    case Word::LeftToRightRun: c.rightToLeft = false; break;
    case Word::Pard:
        flushText();
        p = ParaState{};
        break;
    case Word::AlignLeft: p.alignment = Alignment::Left; break;
    case Word::AlignCenter: p.alignment = Alignment::Center; break;
    case Word::AlignRight: p.alignment = Alignment::Right; break;
    case Word::AlignJustify: p.alignment = Alignment::Justify; break;
    case Word::LeftIndent: p.leftIndent = clampTwips(param); break;
    case Word::RightIndent: p.rightIndent = clampTwips(param); break;
    case Word::FirstIndent: p.firstIndent = clampTwips(param); break;
    case Word::SpaceBefore: p.spaceBefore = std::clamp(param, 0, 31680); break;
    case Word::SpaceAfter: p.spaceAfter = std::clamp(param, 0, 31680); break;
    case Word::LineSpacing: p.lineSpacing = clampTwips(param); break;
    case Word::LineMultiple: p.lineMultiple = on; break;
    case Word::InTable:
        flushText();
        p.inTable = true;
        break;
    case Word::Par: endParagraph(); break;
    case Word::Line: appendChar(u'\u2028'); break;
    case Word::Tab: appendChar(u'\t'); break;
    case Word::NestCell: appendChar(u'\t'); break;
    case Word::NestRow: appendChar(u'\u2028'); break;
    case Word::EmDash: appendChar(u'\u2014'); break;
    case Word::EnDash: appendChar(u'\u2013'); break;
    case Word::Bullet: appendChar(u'\u2022'); break;
    case Word::LQuote: appendChar(u'\u2018'); break;
    case Word::RQuote: appendChar(u'\u2019'); break;
    case Word::LDblQuote: appendChar(u'\u201C'); break;
    case Word::RDblQuote: appendChar(u'\u201D'); break;
    case Word::EmSpace: appendChar(u'\u2003'); break;
    case Word::EnSpace: appendChar(u'\u2002'); break;
    case Word::QmSpace: appendChar(u'\u2005'); break;
    case Word::Zwj: appendChar(u'\u200D'); break;
    case Word::Zwnj: appendChar(u'\u200C'); break;
    case Word::RowDefaults:
        m_rowCells = 0;
        m_sink.rowCells(0);
        break;
    case Word::CellBoundary:
        if (m_rowCells < 1000)
            m_sink.rowCells(++m_rowCells);
        break;
    case Word::Cell:
        flushText();
        m_sink.cell(p);
        break;
    case Word::Row:
        flushText();
        m_sink.row();
        break;
    default: break;
    }
}

void Parser::textBytes(QByteArrayView bytes)
{
    switch (state().destination) {
    case Destination::Text: appendBytes(bytes); break;
    case Destination::FontTable: fontTableText(bytes); break;
    case Destination::ColorTable: colorTableText(bytes); break;
    case Destination::Picture: pictureText(bytes); break;
    default: break;
    }
}

int Parser::codePageOf(const CharState &chr)
{
    // Runs of \'hh escapes ask for the same font byte after byte.
    const int font = chr.effectiveFont(m_tables.defaultFont);
    if (font == m_codePageFont && m_documentCodePage == m_codePageDocument)
        return m_codePage;
    const auto it = m_tables.fonts.constFind(font);
    m_codePage =
        it != m_tables.fonts.cend() && it->codePage != 0 ? it->codePage : m_documentCodePage;
    m_codePageFont = font;
    m_codePageDocument = m_documentCodePage;
    return m_codePage;
}

void Parser::appendBytes(QByteArrayView bytes)
{
    const CharState &chr = state().chr;
    if (chr.hidden || bytes.isEmpty())
        return;
    const int codePage = codePageOf(chr);
    if (!(chr == m_pendingChar))
        flushText();
    else if (codePage != m_pendingCodePage)
        decodePending();
    m_pendingChar = chr;
    m_pendingCodePage = codePage;
    m_pendingBytes.append(bytes);
}

void Parser::appendChar(char16_t c)
{
    const CharState &chr = state().chr;
    if (chr.hidden)
        return;
    if (!(chr == m_pendingChar))
        flushText();
    else
        decodePending();
    m_pendingChar = chr;
    m_pendingText.append(QChar(c));
}

void Parser::decodePending()
{
    if (m_pendingBytes.isEmpty())
        return;
    QString decoded = m_decoder.decode(m_pendingCodePage, m_pendingBytes);
    m_pendingBytes.clear();
    // Control characters in the byte stream are noise (a literal tab is kept as a tab).
    decoded.removeIf([](QChar ch) {
        return (ch.unicode() < 0x20 && ch != u'\t') || ch.unicode() == kObjectReplacement;
    });
    m_pendingText += decoded;
}

void Parser::flushText()
{
    decodePending();
    if (m_pendingText.isEmpty())
        return;
    m_sink.text(m_pendingText, m_pendingChar, state().para);
    m_pendingText.clear();
}

void Parser::endParagraph()
{
    flushText();
    m_sink.paragraph(state().chr, state().para);
}

void Parser::fontTableText(QByteArrayView bytes)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype semicolon = bytes.indexOf(';', start);
        if (semicolon < 0) {
            if (m_fontOpen)
                m_fontNameBytes.append(bytes.sliced(start));
            return;
        }
        if (m_fontOpen)
            m_fontNameBytes.append(bytes.sliced(start, semicolon - start));
        commitFont();
        start = semicolon + 1;
    }
}

void Parser::commitFont()
{
    if (!m_fontOpen)
        return;
    m_fontOpen = false;
    if (!m_fontNameBytes.isEmpty())
        m_fontName +=
            m_decoder.decode(m_fontCodePage ? m_fontCodePage : m_documentCodePage, m_fontNameBytes);
    m_codePageFont = kNoFont;
    if (m_tables.fonts.size() < 4096 || m_tables.fonts.contains(m_fontNumber))
        m_tables.fonts.insert(m_fontNumber, FontEntry{m_fontName.trimmed(), m_fontCodePage});
    m_fontNumber = -1;
    m_fontCodePage = 0;
    m_fontNameBytes.clear();
    m_fontName.clear();
}

void Parser::colorTableText(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c != ';')
            continue;
        if (m_red < 0 && m_green < 0 && m_blue < 0)
            m_tables.colors.emplace_back();
        else
            m_tables.colors.emplace_back(std::max(m_red, 0), std::max(m_green, 0),
                                         std::max(m_blue, 0));
        m_red = m_green = m_blue = -1;
    }
}

void Parser::pictureText(QByteArrayView bytes)
{
    // Pictures are most of a large file's bytes: decode through a table into reserved space.
    static const auto nibbles = [] {
        std::array<signed char, 256> table{};
        table.fill(-1);
        for (int c = 0; c < 256; ++c)
            table[static_cast<size_t>(c)] =
                static_cast<signed char>(hexValue(static_cast<char>(c)));
        return table;
    }();
    QByteArray &data = m_picture.data;
    const qsizetype start = data.size();
    data.resize(start + bytes.size() / 2 + 1);
    char *out = data.data() + start;
    for (const char c : bytes) {
        const int nibble = nibbles[static_cast<unsigned char>(c)];
        if (nibble < 0)
            continue;
        if (m_pictureNibble < 0) {
            m_pictureNibble = nibble;
        } else {
            *out++ = static_cast<char>(m_pictureNibble * 16 + nibble);
            m_pictureNibble = -1;
        }
    }
    data.resize(out - data.constData());
}

void Parser::finishPicture()
{
    m_pictureDepth = -1;
    if (m_picture.type != Picture::Type::Other && !m_picture.data.isEmpty() &&
        !state().chr.hidden) {
        // The picture sits in the text stream: it goes after the text before it.
        m_sink.picture(m_picture, m_stack[m_stack.size() - 2].chr, state().para);
    }
    m_picture = Picture{};
}

} // namespace rtf
