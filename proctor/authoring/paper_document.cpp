#include "proctor/authoring/paper_document.h"

#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace exam {
namespace {

// One template paragraph as it is copied: its formats and its content without the paragraph end.
struct Paragraph
{
    QTextBlockFormat blockFormat;
    QTextCharFormat charFormat;
    QTextDocumentFragment content;
};

QList<Paragraph> paragraphsBetween(QTextDocument &document, int firstPosition, int lastPosition)
{
    QList<Paragraph> paragraphs;
    const QTextBlock last = document.findBlock(lastPosition);
    for (QTextBlock block = document.findBlock(firstPosition); block.isValid();
         block = block.next()) {
        QTextCursor content(&document);
        content.setPosition(block.position());
        content.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        paragraphs.append({block.blockFormat(), block.charFormat(), content.selection()});
        if (block == last)
            break;
    }
    return paragraphs;
}

// Gives every picture of `source` a name not used in `target` and hands its data to `target`,
// so that pictures of different question files, all numbered from 1, stay apart.
void adoptPictures(QTextDocument &source, QTextDocument &target, const QString &prefix)
{
    struct Picture
    {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Picture> pictures;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.append({fragment.position(), fragment.length(),
                                 fragment.charFormat().toImageFormat()});
        }
    }
    for (Picture &picture : pictures) {
        const QString name = prefix + picture.format.name();
        target.addResource(
            QTextDocument::ImageResource, QUrl(name),
            source.resource(QTextDocument::ImageResource, QUrl(picture.format.name())));
        picture.format.setName(name);
        QTextCursor cursor(&source);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
}

} // namespace

PaperDocumentFiller::PaperDocumentFiller(QTextDocument &document)
    : m_document(document), m_cursor(&document)
{}

QTextCursor PaperDocumentFiller::find(const QString &placeholder, const QTextCursor &from) const
{
    return m_document.find(placeholder, from);
}

void PaperDocumentFiller::typeOver(QTextCursor &selection, const QString &text)
{
    // The value takes the placeholder's own format.
    QTextCursor probe(&m_document);
    probe.setPosition(selection.selectionStart() + 1);
    selection.insertText(text, probe.charFormat());
}

void PaperDocumentFiller::fillCover(const PaperCover &cover)
{
    const std::pair<const char16_t *, const QString *> fields[] = {
        {u"[PAPER NAME]", &cover.paperName}, {u"[AUTHOR]", &cover.author},
        {u"[TESTTIME]", &cover.testTime},    {u"[QUESTION_COUNT]", &cover.questionCount},
        {u"[FULLMARK]", &cover.fullMark},
    };
    for (const auto &[placeholder, value] : fields) {
        QTextCursor found = find(QString::fromUtf16(placeholder), QTextCursor(&m_document));
        if (!found.isNull())
            typeOver(found, *value);
    }
}

void PaperDocumentFiller::repeatParagraphs(int firstPosition, int lastPosition, int count)
{
    const QList<Paragraph> paragraphs = paragraphsBetween(m_document, firstPosition, lastPosition);
    const QTextBlock first = m_document.findBlock(firstPosition);
    const QTextBlock last = m_document.findBlock(lastPosition);

    QTextCursor cursor(&m_document);
    if (count == 0) {
        // Remove the paragraphs with their ends; the paragraph after them keeps its formats.
        const QTextBlock after = last.next();
        cursor.setPosition(first.position());
        if (after.isValid()) {
            const QTextBlockFormat blockFormat = after.blockFormat();
            const QTextCharFormat charFormat = after.charFormat();
            cursor.setPosition(after.position(), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(charFormat);
        } else {
            if (first.previous().isValid())
                cursor.setPosition(first.position() - 1);
            cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        m_cursor = QTextCursor(&m_document);
        m_cursor.setPosition(cursor.position());
        return;
    }

    // Empty the stretch down to one paragraph, then lay the copies down paragraph by paragraph,
    // each with the formats it had in the template.
    cursor.setPosition(first.position());
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    const int start = cursor.position();
    for (int copy = 0; copy < count; ++copy) {
        for (qsizetype k = 0; k < paragraphs.size(); ++k) {
            const Paragraph &paragraph = paragraphs.at(k);
            if (copy == 0 && k == 0) {
                cursor.setBlockFormat(paragraph.blockFormat);
                cursor.setBlockCharFormat(paragraph.charFormat);
            } else {
                cursor.insertBlock(paragraph.blockFormat, paragraph.charFormat);
            }
            cursor.insertFragment(paragraph.content);
        }
    }
    m_cursor = QTextCursor(&m_document);
    m_cursor.setPosition(start);
}

bool PaperDocumentFiller::repeatQuestionBlock(int count)
{
    const QTextCursor begin = find(QStringLiteral("[QUESTION No]"), QTextCursor(&m_document));
    if (begin.isNull())
        return false;
    const QTextCursor end = find(QStringLiteral("第[QUESTION]"), begin);
    if (end.isNull())
        return false;
    repeatParagraphs(begin.selectionStart(), end.selectionEnd(), count);
    return true;
}

void PaperDocumentFiller::insertDocument(QTextCursor &at, QTextDocument &source)
{
    adoptPictures(source, m_document, QStringLiteral("paper%1-").arg(++m_pictureCopies));
    at.insertFragment(QTextDocumentFragment(&source));
}

void PaperDocumentFiller::fillNextQuestion(int number, const QString &mark, QTextDocument *question,
                                           QTextDocument *explanation)
{
    QTextCursor found = find(QStringLiteral("[QUESTION No]"), m_cursor);
    if (found.isNull())
        return;
    typeOver(found, QString::number(number));
    m_cursor = found;

    found = find(QStringLiteral("[MARK]"), m_cursor);
    const QTextCursor content = find(QStringLiteral("[QUESTION]"), m_cursor);
    // [MARK] belongs to this block only when it comes before the block's question.
    if (!found.isNull() &&
        (content.isNull() || found.selectionStart() < content.selectionStart())) {
        typeOver(found, mark);
        m_cursor = found;
    }

    found = find(QStringLiteral("[QUESTION]"), m_cursor);
    if (found.isNull())
        return;
    // Searching on from the end of what was inserted, text inside a question can never be taken
    // for a placeholder.
    found.removeSelectedText();
    if (question)
        insertDocument(found, *question);
    if (explanation) {
        found.insertBlock();
        insertDocument(found, *explanation);
    }
    m_cursor = found;
}

bool PaperDocumentFiller::repeatAnswerBlock(int count)
{
    // The key is looked for after the questions first, so that a question quoting the placeholder
    // is not taken for it; a template may also put the key before the questions.
    QTextCursor found = find(QStringLiteral("[ANSWER No]"), m_cursor);
    if (found.isNull())
        found = find(QStringLiteral("[ANSWER No]"), QTextCursor(&m_document));
    if (found.isNull())
        return false;
    repeatParagraphs(found.selectionStart(), found.selectionEnd(), count);
    return true;
}

void PaperDocumentFiller::fillNextAnswer(int number, const QString &answer)
{
    QTextCursor found = find(QStringLiteral("[ANSWER No]"), m_cursor);
    if (found.isNull())
        return;
    typeOver(found, QString::number(number));
    m_cursor = found;
    found = find(QStringLiteral("[OP]"), m_cursor);
    if (found.isNull())
        return;
    typeOver(found, answer);
    m_cursor = found;
}

} // namespace exam
