#include "interchange/question_readers.h"

#include "interchange/source_text.h"

#include <QFile>
#include <QRegularExpression>

namespace exam::interchange {

SourceFormat detectFormat(const QString &fileName, const QString &text)
{
    if (fileName.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
        text.trimmed().startsWith(u'<'))
        return SourceFormat::MoodleXml;
    if (fileName.endsWith(QLatin1String(".gift"), Qt::CaseInsensitive))
        return SourceFormat::Gift;
    static const QRegularExpression aikenAnswer(QStringLiteral("^\\s*ANSWER\\s*:"),
                                                QRegularExpression::MultilineOption);
    return text.contains(aikenAnswer) ? SourceFormat::Aiken : SourceFormat::Gift;
}

ReadResult readQuestionFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult result;
        result.fail(0, QStringLiteral("无法打开文件: %1").arg(file.errorString()));
        return result;
    }
    const QString text = decodeSourceText(file.readAll());
    switch (detectFormat(path, text)) {
    case SourceFormat::Aiken: return readAiken(text);
    case SourceFormat::MoodleXml: return readMoodleXml(text);
    case SourceFormat::Gift: break;
    }
    return readGift(text);
}

} // namespace exam::interchange
