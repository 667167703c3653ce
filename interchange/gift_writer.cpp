// A paper as GIFT text.

#include "interchange/paper_writers.h"

#include "repository/profile_values.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace exam::interchange {
namespace {

// The characters GIFT gives a meaning are escaped; line breaks become "\n". Pictures stay behind,
// and with them the paragraphs that only held a picture.
QString escaped(QString text)
{
    text.remove(QChar::ObjectReplacementCharacter);
    static const QRegularExpression emptyLines(QStringLiteral("\n[ \t]*(?=\n)"));
    text.remove(emptyLines);
    QString out;
    out.reserve(text.size());
    for (const QChar c : text.trimmed()) {
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            out += QLatin1String("\\n");
        else if (QStringLiteral("~=#{}:\\").contains(c))
            out += u'\\' + QString(c);
        else
            out += c;
    }
    return out;
}

void writeQuestion(QString &out, const ExportQuestion &q)
{
    out += QStringLiteral("// 第%1题,分值 %2\n").arg(q.number).arg(shortestNumberText(q.mark));
    out += QStringLiteral("::第%1题::").arg(q.number) + escaped(q.stem()->toPlainText()) +
           QLatin1String(" {");
    if (q.isTrueFalse()) {
        out += q.correct.constFirst() == 0 ? u'T' : u'F';
    } else {
        const QStringList answers = q.answerTexts();
        const bool single = q.correct.size() <= 1;
        const QString share = shortestNumberText(
            std::round(100000.0 * 100 / std::max<qsizetype>(1, q.correct.size())) / 100000);
        for (qsizetype i = 0; i < answers.size(); ++i) {
            const bool right = q.correct.contains(static_cast<int>(i));
            out += QLatin1String("\n");
            if (single)
                out += right ? u'=' : u'~';
            else if (right)
                out += QLatin1String("~%") + share + u'%';
            else
                out += QLatin1String("~%-100%");
            out += escaped(answers.at(i));
        }
    }
    const QString explanation = q.explanation->toPlainText().trimmed();
    if (!explanation.isEmpty())
        out += QLatin1String("\n####") + escaped(explanation);
    out += QLatin1String("\n}\n\n");
}

} // namespace

QByteArray giftText(const PaperContent &paper)
{
    QString out = QStringLiteral("// 试卷: %1\n$CATEGORY: $course$/top/%1\n\n").arg(paper.name);
    for (const ExportQuestion &q : paper.questions)
        writeQuestion(out, q);
    return out.toUtf8();
}

} // namespace exam::interchange
