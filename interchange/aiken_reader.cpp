// The Aiken format: a question, its options "A. …" / "A) …" one per line, then "ANSWER: X".

#include "interchange/question_readers.h"

#include <QRegularExpression>

namespace exam::interchange {
namespace {

struct AikenQuestion
{
    int line = 0;
    QStringList text;
    QList<QChar> letters;
    QuestionParts parts;

    bool isOpen() const { return line > 0; }
};

const QString MissingAnswer = QStringLiteral("题目缺少“ANSWER:”行");

// The right options of "ANSWER: X" (also "A, C"); false with an error when a letter names no
// option or there is none.
bool readAnswer(const QString &value, AikenQuestion &q, int line, ReadResult &result)
{
    for (const QChar c : value) {
        if (!c.isLetter())
            continue;
        const qsizetype index = q.letters.indexOf(c.toUpper());
        if (index < 0) {
            result.fail(line, QStringLiteral("答案“%1”不是该题的选项").arg(c));
            return false;
        }
        q.parts.correct.append(static_cast<int>(index));
    }
    if (q.parts.correct.isEmpty()) {
        result.fail(line, QStringLiteral("“ANSWER:”后面没有答案字母"));
        return false;
    }
    return true;
}

} // namespace

ReadResult readAiken(const QString &text)
{
    static const QRegularExpression answerLine(QStringLiteral("^ANSWER\\s*:\\s*(.*)$"));
    static const QRegularExpression optionLine(QStringLiteral("^([A-Z])\\s*[.)．、）]\\s*(.*)$"));

    ReadResult result;
    AikenQuestion q;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        if (const QRegularExpressionMatch answer = answerLine.match(line); answer.hasMatch()) {
            if (!q.isOpen() || q.parts.options.isEmpty()) {
                result.fail(lineNumber, QStringLiteral("“ANSWER:”前面没有带选项的题目"));
                return result;
            }
            if (!readAnswer(answer.captured(1), q, lineNumber, result))
                return result;
            addBuilt(result, q.parts, buildPlainQuestion(q.parts, q.text.join(u'\n'), {}));
            q = {};
            continue;
        }
        const QRegularExpressionMatch option = optionLine.match(line);
        if (q.isOpen() && option.hasMatch()) {
            q.letters.append(option.capturedView(1).at(0));
            q.parts.options.append(option.captured(2));
            continue;
        }
        // Text after the options: the question before has no answer line.
        if (!q.parts.options.isEmpty()) {
            result.fail(q.line, MissingAnswer);
            return result;
        }
        if (!q.isOpen()) {
            q.line = lineNumber;
            q.parts.line = lineNumber;
        }
        q.text.append(line);
    }
    if (q.isOpen())
        result.fail(q.line, MissingAnswer);
    return result;
}

} // namespace exam::interchange
