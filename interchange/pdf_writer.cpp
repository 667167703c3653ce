// A paper as a PDF copy for print: one flowing document laid out on A4 pages.

#include "interchange/paper_writers.h"

#include "repository/profile_values.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <memory>

namespace exam::interchange {
namespace {

// The font of the copy's own texts; fontconfig falls back to another Chinese font when it is
// missing. Its glyphs are embedded in the PDF, so the copy prints the same on every machine.
QFont copyFont(qreal pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"), -1, bold ? QFont::Bold : QFont::Normal);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QTextCharFormat textFormat(qreal pointSize, bool bold = false)
{
    QTextCharFormat format;
    format.setFont(copyFont(pointSize, bold));
    return format;
}

// The pictures of `work` (a copy of `source`) get names of their own in the copy, and their data.
void carryPictures(const QTextDocument &source, QTextDocument &work, QTextDocument &copy,
                   const QString &prefix)
{
    struct Picture
    {
        int position;
        QTextImageFormat format;
    };
    QList<Picture> pictures;
    for (QTextBlock block = work.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.append({fragment.position(), fragment.charFormat().toImageFormat()});
        }
    }
    for (Picture &picture : pictures) {
        const QString name = prefix + picture.format.name();
        copy.addResource(
            QTextDocument::ImageResource, QUrl(name),
            source.resource(QTextDocument::ImageResource, QUrl(picture.format.name())));
        picture.format.setName(name);
        QTextCursor cursor(&work);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
}

void insertParagraph(QTextCursor &cursor, const QString &text, const QTextCharFormat &format,
                     Qt::Alignment alignment = Qt::AlignLeft, qreal topMargin = 0)
{
    QTextBlockFormat block;
    block.setAlignment(alignment);
    block.setTopMargin(topMargin);
    cursor.insertBlock(block, format);
    cursor.insertText(text, format);
}

void insertDocument(QTextCursor &cursor, const QTextDocument &source, QTextDocument &copy,
                    const QString &prefix)
{
    const std::unique_ptr<QTextDocument> work(source.clone());
    carryPictures(source, *work, copy, prefix);
    cursor.insertBlock(QTextBlockFormat(), textFormat(11));
    cursor.insertFragment(QTextDocumentFragment(work.get()));
}

void fillCover(QTextCursor &cursor, const PaperContent &paper)
{
    QTextBlockFormat title;
    title.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(title);
    cursor.insertText(paper.name, textFormat(18, true));
    const PaperSettings &s = paper.settings;
    insertParagraph(cursor,
                    QStringLiteral("作者: %1    考试时间: %2 分钟    考题数: %3    总分: %4")
                        .arg(s.author, s.testTime)
                        .arg(paper.questions.size())
                        .arg(paper.fullMark),
                    textFormat(10), Qt::AlignHCenter, 6);
}

} // namespace

Result paperPdf(const PaperContent &paper, bool teacherCopy, QByteArray &pdf)
{
    QTextDocument copy;
    copy.setDefaultFont(copyFont(11));
    QTextCursor cursor(&copy);
    fillCover(cursor, paper);
    for (const ExportQuestion &q : paper.questions) {
        insertParagraph(cursor,
                        QStringLiteral("%1. (%2 分)").arg(q.number).arg(shortestNumberText(q.mark)),
                        textFormat(11, true), Qt::AlignLeft, 14);
        const QString prefix = QStringLiteral("q%1/").arg(q.number);
        insertDocument(cursor, *q.question, copy, prefix);
        if (!teacherCopy)
            continue;
        insertParagraph(
            cursor,
            QStringLiteral("标准答案: %1")
                .arg(q.correct.isEmpty() ? QStringLiteral("(无)") : answerLetters(q.correct)),
            textFormat(11, true), Qt::AlignLeft, 4);
        if (!q.explanation->isEmpty()) {
            insertParagraph(cursor, QStringLiteral("解题辅导:"), textFormat(11, true));
            insertDocument(cursor, *q.explanation, copy, QStringLiteral("e%1/").arg(q.number));
        }
    }

    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(paper.name);
    writer.setCreator(QStringLiteral("proctor"));
    copy.print(&writer);
    buffer.close();
    if (pdf.isEmpty())
        return Result::failure(QStringLiteral("无法生成 PDF"));
    return {};
}

} // namespace exam::interchange
