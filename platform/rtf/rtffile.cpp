#include "rtf.h"

#include "repository/atomic_save.h"

#include <QFile>
#include <QTextDocument>

namespace rtf {

bool loadRtfFile(const QString &path, QTextDocument *document, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法打开文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!readRtf(file.readAll(), document)) {
        if (error)
            *error = QStringLiteral("文件 %1 不是 RTF 格式。").arg(path);
        return false;
    }
    return true;
}

bool saveRtfFile(const QString &path, const QTextDocument &document, QString *error)
{
    return exam::saveFileAtomically(path, writeRtf(document)).reportTo(error);
}

} // namespace rtf
