// The GIFT format, as far as this system's questions go: choice questions with one or several
// right options, and true/false questions.

#include "interchange/question_readers.h"

#include <QRegularExpression>

#include <utility>

namespace exam::interchange {
namespace {

const QString SpecialCharacters = QStringLiteral("~=#{}:");

// A question's lines: the text (lines joined by '\n') and the file line of each.
struct Block
{
    QString text;
    QList<int> lineNumbers;

    int lineAt(qsizetype offset) const
    {
        const qsizetype index = text.left(offset).count(u'\n');
        return lineNumbers.at(std::min(index, lineNumbers.size() - 1));
    }
};

// Questions are separated by blank lines; "//" comment lines and "$CATEGORY:" lines are dropped.
QList<Block> splitBlocks(const QString &text)
{
    QList<Block> blocks;
    Block current;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("//")) ||
            trimmed.startsWith(QLatin1String("$CATEGORY:")))
            continue;
        if (trimmed.isEmpty()) {
            if (!current.lineNumbers.isEmpty())
                blocks.append(std::exchange(current, {}));
            continue;
        }
        if (!current.lineNumbers.isEmpty())
            current.text += u'\n';
        current.text += line;
        current.lineNumbers.append(static_cast<int>(i + 1));
    }
    if (!current.lineNumbers.isEmpty())
        blocks.append(current);
    return blocks;
}

// The first `what` at or after `from` that no backslash escapes; -1 when there is none.
qsizetype findUnescaped(QStringView text, QStringView what, qsizetype from = 0)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text.at(i) == u'\\') {
            ++i;
            continue;
        }
        if (text.mid(i).startsWith(what))
            return i;
    }
    return -1;
}

QString unescape(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (SpecialCharacters.contains(next) || next == u'\\') {
                plain += next;
                ++i;
                continue;
            }
            if (next == u'n') {
                plain += u'\n';
                ++i;
                continue;
            }
        }
        plain += c;
    }
    return plain.trimmed();
}

// Drops a leading "[html]", "[moodle]", "[plain]" or "[markdown]" text-format marker.
QStringView withoutFormatMarker(QStringView text)
{
    static const QRegularExpression marker(
        QStringLiteral("^\\s*\\[(html|moodle|plain|markdown)\\]"));
    const QRegularExpressionMatch match = marker.match(text);
    return match.hasMatch() ? text.mid(match.capturedEnd()) : text;
}

struct GiftAnswer
{
    QChar kind; // '=' right, '~' other
    double weight = 0;
    bool weighted = false;
    QString text;
};

QString skipType(const QString &type)
{
    return QStringLiteral("题型“%1”不能导入,本系统只有选择题和判断题").arg(type);
}

// The answers between the braces, per-answer feedback ("#…") dropped. False when text stands
// before the first "=" or "~".
bool splitAnswers(QStringView body, QList<GiftAnswer> &answers)
{
    qsizetype at = 0;
    while (at < body.size() && body.at(at).isSpace())
        ++at;
    while (at < body.size()) {
        const QChar kind = body.at(at);
        if (kind != u'=' && kind != u'~')
            return false;
        qsizetype end = at + 1;
        while (end < body.size() && !((body.at(end) == u'=' || body.at(end) == u'~')))
            end += body.at(end) == u'\\' ? 2 : 1;
        end = std::min(end, body.size());
        QStringView item = body.mid(at + 1, end - at - 1);
        GiftAnswer answer{kind, 0, false, {}};
        static const QRegularExpression weight(QStringLiteral("^\\s*%(-?[0-9.]+)%"));
        if (const QRegularExpressionMatch match = weight.match(item); match.hasMatch()) {
            answer.weight = match.captured(1).toDouble();
            answer.weighted = true;
            item = item.mid(match.capturedEnd());
        }
        const qsizetype feedback = findUnescaped(item, u"#");
        answer.text = unescape(feedback < 0 ? item : item.left(feedback));
        answers.append(answer);
        at = end;
    }
    return true;
}

// Fills the options, right options and explanation of a question from its braces' content. Returns
// why the question is left out (a type this system does not have), or sets `broken` when the
// content is not GIFT.
QString readAnswerBody(QStringView body, QuestionParts &parts, QString &explanation, bool &broken)
{
    if (const qsizetype general = findUnescaped(body, u"####"); general >= 0) {
        explanation = unescape(body.mid(general + 4));
        body = body.left(general);
    }
    const QString trimmed = body.trimmed().toString();
    if (trimmed.isEmpty())
        return skipType(QStringLiteral("问答题"));
    if (trimmed.startsWith(u'#'))
        return skipType(QStringLiteral("数值题"));

    const qsizetype feedback = findUnescaped(trimmed, u"#");
    const QString head = (feedback < 0 ? trimmed : trimmed.left(feedback)).trimmed().toUpper();
    if (head == QLatin1String("T") || head == QLatin1String("TRUE") || head == QLatin1String("F") ||
        head == QLatin1String("FALSE")) {
        parts.options = trueFalseOptions();
        parts.correct = {head.startsWith(u'T') ? 0 : 1};
        return {};
    }

    QList<GiftAnswer> answers;
    if (!splitAnswers(body, answers)) {
        broken = true;
        return QStringLiteral("“{”后面的答案应以“=”或“~”开始");
    }
    bool anyOther = false;
    bool anyRight = false;
    for (const GiftAnswer &answer : std::as_const(answers)) {
        if (findUnescaped(answer.text, u"->") >= 0)
            return skipType(QStringLiteral("配对题"));
        anyOther |= answer.kind == u'~';
        anyRight |= answer.kind == u'=';
    }
    if (!anyOther)
        return skipType(QStringLiteral("填空题"));
    // "=" marks the right option; without one, the options with a positive weight are right.
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const GiftAnswer &answer = answers.at(i);
        parts.options.append(answer.text);
        if (anyRight ? answer.kind == u'=' : answer.weighted && answer.weight > 0)
            parts.correct.append(static_cast<int>(i));
    }
    return {};
}

// One question block; false (with the error in `result`) when the block is broken.
bool readBlock(const Block &block, ReadResult &result)
{
    QStringView text = block.text;
    QuestionParts parts;
    parts.line = block.lineNumbers.constFirst();
    qsizetype start = 0;
    if (text.trimmed().startsWith(u"::")) {
        const qsizetype open = text.indexOf(u"::");
        const qsizetype close = findUnescaped(text, u"::", open + 2);
        if (close < 0) {
            result.fail(parts.line, QStringLiteral("题目名称的“::”没有结束"));
            return false;
        }
        start = close + 2;
    }
    const qsizetype open = findUnescaped(text, u"{", start);
    if (open < 0) {
        result.skipped.append(
            {parts.line, QStringLiteral("没有答案部分“{…}”,是说明文字而不是考题")});
        return true;
    }
    const qsizetype close = findUnescaped(text, u"}", open + 1);
    const qsizetype nextOpen = findUnescaped(text, u"{", open + 1);
    if (close < 0 || (nextOpen >= 0 && nextOpen < close)) {
        result.fail(block.lineAt(open), QStringLiteral("“{”没有对应的“}”"));
        return false;
    }
    const QString before = unescape(withoutFormatMarker(text.mid(start, open - start)));
    const QString after = unescape(text.mid(close + 1));
    QString explanation;
    bool broken = false;
    const QString reason =
        readAnswerBody(text.mid(open + 1, close - open - 1), parts, explanation, broken);
    if (broken) {
        result.fail(block.lineAt(open), reason);
        return false;
    }
    if (!reason.isEmpty()) {
        result.skipped.append({parts.line, reason});
        return true;
    }
    // Text after the braces makes a missing-word question: the braces stand for a gap.
    const QString question = after.isEmpty() ? before : before + QStringLiteral(" _____ ") + after;
    addBuilt(result, parts, buildPlainQuestion(parts, question, explanation));
    return true;
}

} // namespace

ReadResult readGift(const QString &text)
{
    ReadResult result;
    for (const Block &block : splitBlocks(text)) {
        if (!readBlock(block, result))
            return result;
    }
    return result;
}

} // namespace exam::interchange
