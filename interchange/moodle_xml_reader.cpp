// Moodle XML: <quiz> with <question type="multichoice"> and <question type="truefalse">; HTML
// texts whose pictures are "@@PLUGINFILE@@/<name>" with the file's bytes in base64 beside them.

#include "interchange/question_readers.h"

#include "repository/profile_values.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QXmlStreamReader>

namespace exam::interchange {
namespace {

const QString PluginFile = QStringLiteral("@@PLUGINFILE@@");

// A text element with its format and embedded files (questiontext, generalfeedback, answer).
struct RichText
{
    QString format;
    QString text;
    QHash<QString, QByteArray> files; // by path and name, "/a.png"
};

struct MoodleQuestion
{
    QString type;
    int line = 0;
    RichText question;
    RichText feedback;
    QString defaultGrade;
    QString single;
    struct Answer
    {
        double fraction = 0;
        RichText text;
    };
    QList<Answer> answers;
};

class MoodleReader
{
public:
    explicit MoodleReader(const QString &text) : m_xml(text) {}

    ReadResult read();

private:
    bool readQuestion(MoodleQuestion &q);
    bool readRichText(RichText &rich);
    bool readFile(RichText &rich);
    void build(const MoodleQuestion &q);
    bool failed(const QString &message)
    {
        if (m_result.ok())
            m_result.fail(static_cast<int>(m_xml.lineNumber()), message);
        return false;
    }

    QXmlStreamReader m_xml;
    ReadResult m_result;
};

ReadResult MoodleReader::read()
{
    if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("quiz")) {
        if (!m_xml.hasError())
            failed(QStringLiteral("不是 Moodle XML 考题文件:最外层应是 <quiz>"));
    } else {
        while (m_result.ok() && m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("question")) {
                m_xml.skipCurrentElement();
                continue;
            }
            MoodleQuestion q;
            q.type = m_xml.attributes().value(QLatin1String("type")).toString();
            q.line = static_cast<int>(m_xml.lineNumber());
            if (q.type == QLatin1String("category")) {
                m_xml.skipCurrentElement();
            } else if (q.type != QLatin1String("multichoice") &&
                       q.type != QLatin1String("truefalse")) {
                m_result.skipped.append(
                    {q.line,
                     QStringLiteral("题型“%1”不能导入,本系统只有选择题和判断题").arg(q.type)});
                m_xml.skipCurrentElement();
            } else if (readQuestion(q)) {
                build(q);
            }
        }
    }
    if (m_xml.hasError() && m_result.ok())
        failed(QStringLiteral("XML 格式错误: %1").arg(m_xml.errorString()));
    return std::move(m_result);
}

bool MoodleReader::readQuestion(MoodleQuestion &q)
{
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == QLatin1String("questiontext")) {
            if (!readRichText(q.question))
                return false;
        } else if (name == QLatin1String("generalfeedback")) {
            if (!readRichText(q.feedback))
                return false;
        } else if (name == QLatin1String("answer")) {
            MoodleQuestion::Answer answer;
            answer.fraction = m_xml.attributes().value(QLatin1String("fraction")).toDouble();
            if (!readRichText(answer.text))
                return false;
            q.answers.append(answer);
        } else if (name == QLatin1String("defaultgrade")) {
            q.defaultGrade = m_xml.readElementText().trimmed();
        } else if (name == QLatin1String("single")) {
            q.single = m_xml.readElementText().trimmed();
        } else {
            m_xml.skipCurrentElement();
        }
    }
    return !m_xml.hasError();
}

bool MoodleReader::readRichText(RichText &rich)
{
    rich.format = m_xml.attributes().value(QLatin1String("format")).toString();
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("text")) {
            rich.text = m_xml.readElementText();
        } else if (m_xml.name() == QLatin1String("file")) {
            if (!readFile(rich))
                return false;
        } else {
            m_xml.skipCurrentElement(); // an answer's own feedback
        }
    }
    return !m_xml.hasError();
}

bool MoodleReader::readFile(RichText &rich)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    QString path = attributes.value(QLatin1String("path")).toString();
    if (!path.endsWith(u'/'))
        path += u'/';
    const QString name = path + attributes.value(QLatin1String("name")).toString();
    QString data = m_xml.readElementText();
    data.remove(QRegularExpression(QStringLiteral("\\s+")));
    auto decoded =
        QByteArray::fromBase64Encoding(data.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return failed(QStringLiteral("文件“%1”的 base64 数据有误").arg(name.mid(1)));
    rich.files.insert(name, *decoded);
    return true;
}

bool isHtml(const RichText &rich)
{
    return rich.format != QLatin1String("plain_text") && rich.format != QLatin1String("markdown");
}

// The document of a text; its pictures are served from the text's files.
void fillDocument(QTextDocument &document, const RichText &rich)
{
    const QHash<QString, QByteArray> files = rich.files;
    document.setResourceProvider([files](const QUrl &url) -> QVariant {
        QString path = url.path(QUrl::FullyDecoded);
        if (path.startsWith(PluginFile))
            path = path.mid(PluginFile.size());
        if (!path.startsWith(u'/'))
            path.prepend(u'/');
        const auto file = files.constFind(path);
        return file == files.cend() ? QVariant() : QVariant(*file);
    });
    if (isHtml(rich))
        document.setHtml(rich.text);
    else
        document.setPlainText(rich.text);
}

QString optionText(const RichText &rich)
{
    const QString plain =
        isHtml(rich) ? QTextDocumentFragment::fromHtml(rich.text).toPlainText() : rich.text;
    return plain.simplified();
}

void MoodleReader::build(const MoodleQuestion &q)
{
    QuestionParts parts;
    parts.line = q.line;
    if (!q.defaultGrade.isEmpty())
        parts.mark = shortestNumberText(q.defaultGrade.toDouble());
    if (q.type == QLatin1String("truefalse")) {
        parts.options = trueFalseOptions();
        for (const MoodleQuestion::Answer &answer : q.answers) {
            if (answer.fraction > 0)
                parts.correct = {
                    optionText(answer.text).compare(QLatin1String("false"), Qt::CaseInsensitive) ==
                            0
                        ? 1
                        : 0};
        }
    } else {
        // One right answer: the best one; several: every answer that earns something.
        const bool single = q.single != QLatin1String("false") && q.single != QLatin1String("0");
        double best = 0;
        for (const MoodleQuestion::Answer &answer : q.answers)
            best = std::max(best, answer.fraction);
        for (qsizetype i = 0; i < q.answers.size(); ++i) {
            const MoodleQuestion::Answer &answer = q.answers.at(i);
            parts.options.append(optionText(answer.text));
            if (answer.fraction > 0 && (!single || answer.fraction == best))
                parts.correct.append(static_cast<int>(i));
        }
    }
    QTextDocument question;
    fillDocument(question, q.question);
    QTextDocument explanation;
    fillDocument(explanation, q.feedback);
    addBuilt(m_result, parts, buildQuestion(parts, question, explanation));
}

} // namespace

ReadResult readMoodleXml(const QString &text)
{
    return MoodleReader(text).read();
}

} // namespace exam::interchange
