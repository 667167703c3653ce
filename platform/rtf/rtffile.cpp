#include "rtf.h"

#include "repository/atomic_save.h"

#include <QFile>
#include <QTextDocument>

namespace rtf {

exam::Result loadRtfFile(const QString &path, QTextDocument *document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return exam::Result::failure(
            QStringLiteral("无法打开文件 %1: %2").arg(path, file.errorString()));
    if (!readRtf(file.readAll(), document))
        return exam::Result::failure(QStringLiteral("文件 %1 不是 RTF 格式。").arg(path));
    return {};
}

exam::Result saveRtfFile(const QString &path, const QTextDocument &document)
{
    return exam::saveFileAtomically(path, writeRtf(document));
}

} // namespace rtf
