#include "interchange/interchange_question.h"

#include "platform/rtf/rtf.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace exam::interchange {
namespace {

const QRegularExpression &optionPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([A-G])\\s*[.．、)）]\\s*(.*)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

QStringList blockTexts(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts.append(block.text());
    return texts;
}

// The letter of a lettered line ('A' … 'G'), or 0.
char16_t optionLetter(const QString &line)
{
    const QRegularExpressionMatch match = optionPattern().match(line);
    return match.hasMatch() ? match.capturedView(1).at(0).unicode() : 0;
}

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

QString optionLine(int index, const QString &text)
{
    return QChar(static_cast<char16_t>(u'A' + index)) + QStringLiteral(". ") + text;
}

QString answerDigits(const QList<int> &correct)
{
    QList<int> sorted = correct;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QString digits;
    for (const int index : std::as_const(sorted))
        digits += QChar(static_cast<char16_t>(u'1' + index));
    return digits;
}

QList<int> answerIndices(const QString &answer)
{
    QList<int> indices;
    for (const QChar c : answer) {
        if (c >= u'1' && c <= u'7')
            indices.append(c.unicode() - u'1');
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

QStringList trueFalseOptions()
{
    return {QStringLiteral("是"), QStringLiteral("非")};
}

BuiltQuestion buildQuestion(const QuestionParts &parts, QTextDocument &question,
                            const QTextDocument &explanation)
{
    BuiltQuestion built;
    if (parts.options.size() > MaxOptions) {
        built.skipReason =
            QStringLiteral("有 %1 个选项,本系统的考题最多 7 个选项").arg(parts.options.size());
        return built;
    }
    if (parts.correct.isEmpty()) {
        built.skipReason = QStringLiteral("没有正确答案");
        return built;
    }
    QTextCursor cursor(&question);
    cursor.movePosition(QTextCursor::End);
    for (qsizetype i = 0; i < parts.options.size(); ++i) {
        if (!question.isEmpty())
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(optionLine(static_cast<int>(i), parts.options.at(i)), QTextCharFormat());
    }
    built.question.line = parts.line;
    built.question.questionRtf = rtf::writeRtf(question);
    built.question.explanationRtf = rtf::writeRtf(explanation);
    built.question.answer = answerDigits(parts.correct);
    built.question.mark = parts.mark;
    return built;
}

BuiltQuestion buildPlainQuestion(const QuestionParts &parts, const QString &question,
                                 const QString &explanation)
{
    QTextDocument questionDocument;
    questionDocument.setPlainText(question);
    QTextDocument explanationDocument;
    explanationDocument.setPlainText(explanation);
    return buildQuestion(parts, questionDocument, explanationDocument);
}

void addBuilt(ReadResult &result, const QuestionParts &parts, BuiltQuestion built)
{
    if (built.skipReason.isEmpty())
        result.questions.append(std::move(built.question));
    else
        result.skipped.append({parts.line, built.skipReason});
}

int firstOptionBlock(const QTextDocument &question)
{
    const QStringList texts = blockTexts(question);
    qsizetype end = texts.size();
    while (end > 0 && isBlank(texts.at(end - 1)))
        --end;
    for (qsizetype first = end - 1; first >= 0; --first) {
        if (optionLetter(texts.at(first)) != u'A')
            continue;
        bool lettered = true;
        for (qsizetype i = first; i < end && lettered; ++i)
            lettered = optionLetter(texts.at(i)) == u'A' + (i - first);
        if (lettered)
            return static_cast<int>(first);
    }
    return -1;
}

QStringList optionTexts(const QTextDocument &question, int first)
{
    QStringList options;
    if (first < 0)
        return options;
    const QStringList texts = blockTexts(question);
    for (qsizetype i = first; i < texts.size(); ++i) {
        const QRegularExpressionMatch match = optionPattern().match(texts.at(i));
        if (!match.hasMatch())
            break;
        options.append(match.captured(2).trimmed());
    }
    return options;
}

} // namespace exam::interchange
