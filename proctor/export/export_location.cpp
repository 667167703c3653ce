#include "proctor/export/export_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace exam {
namespace {

QString fileNameFrom(const QString &name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name.trimmed()) {
        const bool forbidden = c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c);
        safe += forbidden ? QChar(u'_') : c;
    }
    // A name of dots only would name the folder itself or the one above it.
    if (safe.isEmpty() || safe.count(u'.') == safe.size())
        safe = QStringLiteral("_") + safe;
    return safe;
}

} // namespace

QString defaultExportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir().mkpath(documents))
        return documents;
    return QDir::homePath();
}

QString freeExportPath(const QString &folder, const QString &name, const QString &extension)
{
    const QDir dir(folder);
    const QString base = fileNameFrom(name);
    QString path = dir.filePath(base + u'.' + extension);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(extension));
    return path;
}

} // namespace exam
