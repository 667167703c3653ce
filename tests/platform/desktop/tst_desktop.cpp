#include "platform/desktop/desktop_services.h"
#include "platform/desktop/single_instance.h"
#include "platform/desktop/working_folders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace exam::platform;

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void shouldRefuseASecondInstanceUntilTheFirstEnds();
    void shouldRefuseASecondInstanceInAnotherProcess();
    void shouldKeepEachProgramsLockApart();
    void shouldPreferCompiledHelpAndFallBackToHtml();
    void shouldPlaceWorkingFoldersInTheUsersCache();
    void shouldTreatALocalFolderAsLocal();
    void documentCountsAsOpenedOnlyWhenTheOpenerSaysSo_data();
    void documentCountsAsOpenedOnlyWhenTheOpenerSaysSo();
};

void TestDesktop::shouldRefuseASecondInstanceUntilTheFirstEnds()
{
    QTemporaryDir folder;
    {
        SingleInstanceGuard first(QStringLiteral("candidate"), folder.path());
        QVERIFY(first.tryAcquire());
        QVERIFY(first.tryAcquire());
        SingleInstanceGuard second(QStringLiteral("candidate"), folder.path());
        QVERIFY(!second.tryAcquire());
    }
    SingleInstanceGuard third(QStringLiteral("candidate"), folder.path());
    QVERIFY(third.tryAcquire());
}

void TestDesktop::shouldRefuseASecondInstanceInAnotherProcess()
{
    // The child run of this same test function tries to take the lock its parent holds.
    const QString childFolder = qEnvironmentVariable("EXAM_LOCK_CHILD");
    if (!childFolder.isEmpty()) {
        SingleInstanceGuard second(QStringLiteral("proctor"), childFolder);
        QVERIFY(!second.tryAcquire());
        return;
    }
    QTemporaryDir folder;
    SingleInstanceGuard first(QStringLiteral("proctor"), folder.path());
    QVERIFY(first.tryAcquire());

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("EXAM_LOCK_CHILD"), folder.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("shouldRefuseASecondInstanceInAnotherProcess")});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput();
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(output.contains("PASS   : TestDesktop::shouldRefuseASecondInstanceInAnotherProcess"),
             output.constData());
}

void TestDesktop::shouldKeepEachProgramsLockApart()
{
    QTemporaryDir folder;
    SingleInstanceGuard console(QStringLiteral("proctor"), folder.path());
    SingleInstanceGuard client(QStringLiteral("candidate"), folder.path());
    QVERIFY(console.tryAcquire());
    QVERIFY(client.tryAcquire());
}

void TestDesktop::shouldPreferCompiledHelpAndFallBackToHtml()
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    QVERIFY(helpFilePath(folder.path()).isEmpty());
    QVERIFY(!openHelp(folder.path()));

    QVERIFY(dir.mkpath(QStringLiteral("help")));
    QFile html(dir.filePath(QStringLiteral("help/index.html")));
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.close();
    QCOMPARE(helpFilePath(folder.path()), dir.filePath(QStringLiteral("help/index.html")));

    QFile chm(dir.filePath(QStringLiteral("help.chm")));
    QVERIFY(chm.open(QIODevice::WriteOnly));
    chm.close();
    QCOMPARE(helpFilePath(folder.path()), dir.filePath(QStringLiteral("help.chm")));
}

void TestDesktop::shouldPlaceWorkingFoldersInTheUsersCache()
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    QCOMPARE(editorWorkingFolder(), QDir(cache.path()).filePath(QStringLiteral("PCTEST")));
    QCOMPARE(clientCopyFolder(), QDir(cache.path()).filePath(QStringLiteral("kbtest4")));
    QVERIFY(editorWorkingFolder() != clientCopyFolder());
}

void TestDesktop::shouldTreatALocalFolderAsLocal()
{
    QTemporaryDir folder;
    QVERIFY(!isOnNetworkFileSystem(folder.path()));
    QVERIFY(!isOnNetworkFileSystem(folder.filePath(QStringLiteral("missing/deeper"))));
}

void TestDesktop::documentCountsAsOpenedOnlyWhenTheOpenerSaysSo_data()
{
    QTest::addColumn<int>("openerExit");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("opened");
    QTest::newRow("opener succeeds") << 0 << true << true;
    // xdg-open's 3 (no handler) and 4 (the handler failed) start fine and then fail.
    QTest::newRow("no program for the file") << 3 << true << false;
    QTest::newRow("program failed") << 4 << true << false;
    QTest::newRow("no file") << 0 << false << false;
}

void TestDesktop::documentCountsAsOpenedOnlyWhenTheOpenerSaysSo()
{
    QFETCH(int, openerExit);
    QFETCH(bool, fileExists);
    QFETCH(bool, opened);
    // A stand-in xdg-open first on the PATH records what it was asked and exits as told.
    QTemporaryDir bin;
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1\"\nexit %2\n")
                     .arg(bin.filePath(QStringLiteral("asked")))
                     .arg(openerExit)
                     .toUtf8());
    opener.close();
    QVERIFY(opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("期中考试.rtf"));
    if (fileExists) {
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const bool result = openDocument(document);
    qputenv("PATH", path);
    QCOMPARE(result, opened);
    QFile asked(bin.filePath(QStringLiteral("asked")));
    QCOMPARE(asked.exists(), fileExists);
    if (fileExists) {
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(asked.readAll()).trimmed(), document);
    }
}

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
