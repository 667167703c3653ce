#include "desktop_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace exam::platform {

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
    if (!QFileInfo(filePath).isFile())
        return false;
    // QDesktopServices only says whether xdg-open started, not whether a program took the file.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
    auto process = std::make_unique<QProcess>();
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {filePath});
    if (!process->waitForStarted())
        return false;
    constexpr int OpenerWaitMs = 5000;
    if (process->waitForFinished(OpenerWaitMs))
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (process->state() != QProcess::Running)
        return false;
    // Without a desktop environment xdg-open runs the program itself and stays until it ends.
    QProcess *running = process.release();
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
    return true;
}

void openWrittenDocument(Dialogs &dialogs, QWidget *parent, const WrittenDocument &document,
                         const QString &doneText, const QString &failedText,
                         const std::function<bool(const QString &)> &open)
{
    const bool opened = !document.filePath.isEmpty() &&
                        (open ? open(document.filePath) : openDocument(document.filePath));
    QString note =
        QStringLiteral("文件保存在：%1").arg(QDir::toNativeSeparators(document.filePath));
    if (!opened)
        note += QStringLiteral("\n未能自动打开这个文件,请到这个位置打开它。");
    if (document.ok) {
        dialogs.message(parent, doneText + QStringLiteral("\n\n") + note,
                        Dialogs::Icon::Information);
        return;
    }
    QString text = failedText + QStringLiteral("\n\n") + document.error;
    if (!document.filePath.isEmpty())
        text += QStringLiteral("\n\n已输出的部分：") + note;
    dialogs.message(parent, text, Dialogs::Icon::Warning);
}

} // namespace exam::platform
