#include "desktop_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

bool openWebAddress(const QUrl &address)
{
    return address.isValid() && QDesktopServices::openUrl(address);
}

QString helpFilePath(const QString &programFolder)
{
    const QDir folder(programFolder);
    for (const QString &name : {QStringLiteral("help.chm"), QStringLiteral("help/index.html")}) {
        const QString path = folder.filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool openHelp(const QString &programFolder)
{
    const QString path = helpFilePath(programFolder);
    if (path.isEmpty())
        return false;
    // Most Linux desktops have no viewer for compiled help; the HTML pages then open in a browser.
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    const QString html = QDir(programFolder).filePath(QStringLiteral("help/index.html"));
    return path != html && QFileInfo::exists(html) &&
           QDesktopServices::openUrl(QUrl::fromLocalFile(html));
}

bool openDocument(const QString &filePath)
{
    return QFileInfo::exists(filePath) && QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}
