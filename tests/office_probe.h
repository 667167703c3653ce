#pragma once

// The office tests read exported files back through LibreOffice. A LibreOffice may lack the part a
// test needs (Writer without Calc, or the other way round): its converter then loads nothing and
// writes nothing. Each test converts a tiny file of its kind first and is skipped when that fails.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace office_test {

// soffice --convert-to `filter` of `input` into `outputFolder`, with a profile of its own in
// `profileFolder` so that a running LibreOffice of the user is neither used nor disturbed.
// True when LibreOffice ended normally within five minutes.
inline bool convertWithOffice(const QString &soffice, const QString &profileFolder,
                              const QString &filter, const QString &outputFolder,
                              const QString &input)
{
    QProcess process;
    process.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profileFolder,
                            QStringLiteral("--headless"), QStringLiteral("--convert-to"), filter,
                            QStringLiteral("--outdir"), outputFolder, input});
    return process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Why the office test cannot run here, or empty when it can: soffice is missing, or it cannot turn
// `probe` into a file with the suffix `outputSuffix` through `filter`.
inline QString officeMissing(const QString &soffice, const QString &profileFolder,
                             const QString &filter, const QString &probe,
                             const QString &outputSuffix)
{
    if (soffice.isEmpty())
        return QStringLiteral("LibreOffice (soffice) is not installed");
    const QString out = QFileInfo(probe).absolutePath() + QStringLiteral("/probe-output");
    const QString expected =
        QDir(out).filePath(QFileInfo(probe).completeBaseName() + u'.' + outputSuffix);
    if (!convertWithOffice(soffice, profileFolder, filter, out, probe) ||
        !QFileInfo(expected).isFile())
        return QStringLiteral("LibreOffice here cannot convert %1 with the filter %2 (a part of it "
                              "is not installed)")
            .arg(QFileInfo(probe).suffix(), filter);
    return {};
}

} // namespace office_test
