// A paper as Moodle XML.

#include "interchange/paper_writers.h"

#include "repository/profile_values.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace exam::interchange {
namespace {

struct EmbeddedFile
{
    QString name;
    QByteArray bytes;
};

struct HtmlText
{
    QString html;
    QList<EmbeddedFile> files;
};

// The picture's bytes and a file name "image<n>.<png|jpg|gif>"; PNG for pictures held decoded.
EmbeddedFile pictureFile(const QVariant &resource, int number)
{
    EmbeddedFile file;
    QImage image;
    if (resource.userType() == QMetaType::QByteArray) {
        file.bytes = resource.toByteArray();
        QBuffer buffer(&file.bytes);
        const QByteArray kind = QImageReader(&buffer).format();
        if (kind == "png" || kind == "jpeg" || kind == "gif") {
            const QString extension =
                kind == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(kind);
            file.name = QStringLiteral("image%1.%2").arg(number).arg(extension);
            return file;
        }
        image = QImage::fromData(file.bytes);
    } else {
        image = resource.userType() == QMetaType::QPixmap
                    ? qvariant_cast<QPixmap>(resource).toImage()
                    : qvariant_cast<QImage>(resource);
    }
    file.bytes.clear();
    if (!image.isNull()) {
        QBuffer buffer(&file.bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    file.name = QStringLiteral("image%1.png").arg(number);
    return file;
}

// The body of the document's HTML, its pictures ("<img src=…>") pointing at embedded files whose
// bytes come from `resources`.
HtmlText htmlWithPictures(const QTextDocument &document, const QTextDocument &resources)
{
    const QString full = document.toHtml();
    const qsizetype bodyTag = full.indexOf(QLatin1String("<body"));
    const qsizetype start = bodyTag < 0 ? 0 : full.indexOf(u'>', bodyTag) + 1;
    const qsizetype end = full.lastIndexOf(QLatin1String("</body>"));
    const QString body = full.mid(start, end < start ? -1 : end - start).trimmed();

    static const QRegularExpression image(QStringLiteral("<img src=\"([^\"]*)\""));
    HtmlText text;
    qsizetype copied = 0;
    QRegularExpressionMatchIterator it = image.globalMatch(body);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString name = match.captured(1);
        name.replace(QLatin1String("&amp;"), QLatin1String("&"));
        const QVariant resource = resources.resource(QTextDocument::ImageResource, QUrl(name));
        EmbeddedFile file = pictureFile(resource, static_cast<int>(text.files.size() + 1));
        text.html += body.mid(copied, match.capturedStart(1) - copied);
        copied = match.capturedEnd(1);
        if (file.bytes.isEmpty())
            continue;
        text.html += QStringLiteral("@@PLUGINFILE@@/") + file.name;
        text.files.append(file);
    }
    text.html += body.mid(copied);
    return text;
}

void writeRichText(QXmlStreamWriter &xml, const QString &element, const HtmlText &text)
{
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeStartElement(QStringLiteral("text"));
    xml.writeCDATA(text.html);
    xml.writeEndElement();
    for (const EmbeddedFile &file : text.files) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("name"), file.name);
        xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        xml.writeCharacters(QString::fromLatin1(file.bytes.toBase64()));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeAnswer(QXmlStreamWriter &xml, double fraction, const QString &text)
{
    xml.writeStartElement(QStringLiteral("answer"));
    xml.writeAttribute(QStringLiteral("fraction"), shortestNumberText(fraction));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeStartElement(QStringLiteral("text"));
    xml.writeCDATA(text.toHtmlEscaped());
    xml.writeEndElement();
    xml.writeEndElement();
}

// A right option of a question with several earns its share; wrong ones take it all back, as the
// system gives no partial credit.
void writeAnswers(QXmlStreamWriter &xml, const ExportQuestion &q)
{
    if (q.isTrueFalse()) {
        const bool isTrue = q.correct.constFirst() == 0;
        writeAnswer(xml, isTrue ? 100 : 0, QStringLiteral("true"));
        writeAnswer(xml, isTrue ? 0 : 100, QStringLiteral("false"));
        return;
    }
    const bool single = q.correct.size() <= 1;
    xml.writeTextElement(QStringLiteral("single"),
                         single ? QStringLiteral("true") : QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
    const QStringList answers = q.answerTexts();
    const double share =
        std::round(100000.0 * 100 / std::max<qsizetype>(1, q.correct.size())) / 100000;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const bool right = q.correct.contains(static_cast<int>(i));
        writeAnswer(xml, right ? share : (single ? 0 : -100), answers.at(i));
    }
}

void writeQuestion(QXmlStreamWriter &xml, const QString &paper, const ExportQuestion &q)
{
    xml.writeComment(QStringLiteral(" question: %1 ").arg(q.number));
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), q.isTrueFalse() ? QStringLiteral("truefalse")
                                                               : QStringLiteral("multichoice"));
    xml.writeStartElement(QStringLiteral("name"));
    xml.writeTextElement(QStringLiteral("text"),
                         QStringLiteral("%1 第%2题").arg(paper).arg(q.number));
    xml.writeEndElement();
    writeRichText(xml, QStringLiteral("questiontext"), htmlWithPictures(*q.stem(), *q.question));
    const bool hasExplanation = !q.explanation->toPlainText().trimmed().isEmpty() ||
                                q.explanation->toHtml().contains(QLatin1String("<img"));
    writeRichText(xml, QStringLiteral("generalfeedback"),
                  hasExplanation ? htmlWithPictures(*q.explanation, *q.explanation) : HtmlText{});
    xml.writeTextElement(QStringLiteral("defaultgrade"), shortestNumberText(q.mark));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    writeAnswers(xml, q);
    xml.writeEndElement();
}

} // namespace

QByteArray moodleXml(const PaperContent &paper)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    xml.writeStartElement(QStringLiteral("category"));
    xml.writeTextElement(QStringLiteral("text"), QStringLiteral("$course$/top/") + paper.name);
    xml.writeEndElement();
    xml.writeEndElement();
    for (const ExportQuestion &q : paper.questions)
        writeQuestion(xml, paper.name, q);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace exam::interchange
