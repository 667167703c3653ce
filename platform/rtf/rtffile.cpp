#include "rtf.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeRtf(document)) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("无法保存文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
