// `cmake --install` lays out a repository root that a school can use as it is: both programs, the
// templates, the help, the paper and result folders. Both programs started from there take that
// folder as their repository: the client lists its papers, the console asks for its password.
//
// A program is ended once its first window is up. Qt's accessibility cache logs every window it
// takes in with the window's objectName, so the test watches the program's log for that name.
//
// With the runtime bundle, the root also holds the Qt runtime in lib/ and plugins/, and a started
// program must run on those copies: the test reads the libraries it has mapped while its window is
// up. Installing again replaces the runtime and keeps the repository's data.

#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <algorithm>

class TestInstalledLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldLayOutARepositoryRoot_data();
    void shouldLayOutARepositoryRoot();
    void shouldBundleTheRuntimeButNotThePCsOwnLibraries_data();
    void shouldBundleTheRuntimeButNotThePCsOwnLibraries();
    void shouldCheckTheInstalledRepositoryClean();
    void shouldStartTheClientOnTheInstalledRepository();
    void shouldStartTheConsoleOnTheInstalledRepository();
    void shouldReplaceTheRuntimeAndKeepTheDataWhenInstalledAgain();

private:
    struct ProgramRun
    {
        QString log;
        QStringList libraries; // shared libraries and translations mapped when its window showed
    };

    void install();
    // Starts `program` of the installed root and waits until one of the windows named in
    // `windowNames`, or a message box, shows. Returns the program's log up to then and the
    // libraries it had mapped; the program is ended.
    ProgramRun runUntilWindow(const QString &program, const QStringList &windowNames);
    // With the runtime bundle: the libraries of `run` that should have come from the root and did
    // not. Empty without the bundle.
    QStringList librariesNotFromTheRoot(const ProgramRun &run) const;

    QTemporaryDir m_dir;
    QString m_root;
};

namespace {

const QString Paper = QStringLiteral("安装检查");
const QString ClassName = QStringLiteral("初一(1)班");

QString windowLogLine(const QString &windowName)
{
    return QStringLiteral("name = \"%1\"").arg(windowName);
}

// "libQt6Core.so.6.4.2" and "libQt6Core.so.6" are the same library.
QString libraryBaseName(const QString &fileName)
{
    const qsizetype so = fileName.indexOf(QLatin1String(".so"));
    return so < 0 ? fileName : fileName.left(so + 3);
}

QStringList mappedLibrariesAndTranslations(qint64 pid)
{
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    QStringList libraries;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const qsizetype path = line.indexOf('/');
        if (path >= 0 && (line.contains(".so") || line.endsWith(".qm")))
            libraries.append(QString::fromUtf8(line.mid(path)));
    }
    libraries.removeDuplicates();
    return libraries;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

ino_t inodeOf(const QString &path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

void TestInstalledLayout::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("考试库"));
    install();
}

void TestInstalledLayout::install()
{
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(EXAM_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(EXAM_BUILD_DIR),
                   QStringLiteral("--prefix"), m_root});
    QVERIFY(install.waitForFinished(300000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

void TestInstalledLayout::shouldLayOutARepositoryRoot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("executable");

    QTest::newRow("console") << "proctor" << false << true;
    QTest::newRow("client") << "candidate" << false << true;
    QTest::newRow("repository check") << "examtool" << false << true;
    QTest::newRow("document template") << "sys/paper.dot" << false << false;
    QTest::newRow("workbook template") << "sys/score.xlt" << false << false;
    QTest::newRow("help start page") << "help/index.html" << false << false;
    QTest::newRow("help for teachers") << "help/teacher.html" << false << false;
    QTest::newRow("help for students") << "help/student.html" << false << false;
    QTest::newRow("papers") << "SHIJUAN" << true << false;
    QTest::newRow("results") << "CHENGJI" << true << false;
#ifdef EXAM_HAVE_CHM
    QTest::newRow("compiled help") << "help.chm" << false << false;
#endif
}

void TestInstalledLayout::shouldLayOutARepositoryRoot()
{
    QFETCH(QString, path);
    QFETCH(bool, folder);
    QFETCH(bool, executable);
    const QFileInfo info(m_root + u'/' + path);
    QVERIFY2(info.exists(), qPrintable(info.filePath()));
    QCOMPARE(info.isDir(), folder);
    if (!folder)
        QVERIFY(info.size() > 0);
    QCOMPARE(info.isExecutable() && !folder, executable);
}

void TestInstalledLayout::shouldBundleTheRuntimeButNotThePCsOwnLibraries_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("bundled");

    QTest::newRow("Qt core") << "lib/libQt6Core.so.6" << true;
    QTest::newRow("Qt widgets") << "lib/libQt6Widgets.so.6" << true;
    QTest::newRow("ICU data") << "lib/libicudata.so.72" << true;
    QTest::newRow("keyboard maps") << "lib/libxkbcommon.so.0" << true;
    QTest::newRow("workbook zip") << "lib/libzip.so.4" << true;
    QTest::newRow("X11 platform's own library") << "lib/libQt6XcbQpa.so.6" << true;
    QTest::newRow("X11 platform") << "plugins/platforms/libqxcb.so" << true;
    QTest::newRow("no-display platform") << "plugins/platforms/libqoffscreen.so" << true;
    QTest::newRow("JPEG pictures") << "plugins/imageformats/libqjpeg.so" << true;
    QTest::newRow("IBus input")
        << "plugins/platforminputcontexts/libibusplatforminputcontextplugin.so" << true;
    QTest::newRow("compose input")
        << "plugins/platforminputcontexts/libcomposeplatforminputcontextplugin.so" << true;
    QTest::newRow("Qt's Chinese texts") << "lib/translations/qtbase_zh_CN.qm" << true;
    QTest::newRow("Qt's paths") << "qt.conf" << true;
    QTest::newRow("C library") << "lib/libc.so.6" << false;
    QTest::newRow("C++ library") << "lib/libstdc++.so.6" << false;
    QTest::newRow("X11") << "lib/libX11.so.6" << false;
    QTest::newRow("xcb") << "lib/libxcb.so.1" << false;
    QTest::newRow("OpenGL") << "lib/libOpenGL.so.0" << false;
    QTest::newRow("fontconfig") << "lib/libfontconfig.so.1" << false;
    QTest::newRow("D-Bus") << "lib/libdbus-1.so.3" << false;
    // freetype needs it: a newer PC's freetype must not meet an older copy.
    QTest::newRow("zlib, needed by freetype") << "lib/libz.so.1" << false;
}

void TestInstalledLayout::shouldBundleTheRuntimeButNotThePCsOwnLibraries()
{
#ifndef EXAM_BUNDLE_RUNTIME
    QSKIP("built without the runtime bundle");
#endif
    QFETCH(QString, path);
    QFETCH(bool, bundled);
    const QFileInfo info(m_root + u'/' + path);
    QCOMPARE(info.exists(), bundled);
    if (bundled)
        QVERIFY(info.isFile() && info.size() > 0);
}

void TestInstalledLayout::shouldCheckTheInstalledRepositoryClean()
{
    QProcess check;
    check.start(m_root + u"/examtool"_qs, {QStringLiteral("check"), m_root});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.readAllStandardOutput(), QByteArray());
    QCOMPARE(check.exitCode(), 0);
}

TestInstalledLayout::ProgramRun TestInstalledLayout::runUntilWindow(const QString &program,
                                                                    const QStringList &windowNames)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"),
               QStringLiteral("qt.accessibility.cache.debug=true"));
    // Each program's single-instance lock and working folders in this test's own folders.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"),
               m_dir.filePath(QStringLiteral("runtime-") + program));
    env.insert(QStringLiteral("XDG_CACHE_HOME"),
               m_dir.filePath(QStringLiteral("cache-") + program));
    QDir().mkpath(env.value(QStringLiteral("XDG_RUNTIME_DIR")));
    QFile::setPermissions(env.value(QStringLiteral("XDG_RUNTIME_DIR")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Started from another folder: the program must find its repository by its own location.
    process.setWorkingDirectory(m_dir.path());
    process.start(m_root + u'/' + program, {});
    ProgramRun run;
    QString &log = run.log;
    const auto windowShown = [&log, &windowNames] {
        return log.contains(QLatin1String("obj=QMessageBox")) ||
               std::any_of(windowNames.cbegin(), windowNames.cend(), [&log](const QString &name) {
                   return log.contains(windowLogLine(name));
               });
    };
    const QDeadlineTimer deadline(120000);
    while (!windowShown() && process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        log += QString::fromUtf8(process.readAll());
    }
    run.libraries = mappedLibrariesAndTranslations(process.processId());
    process.terminate();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
    }
    log += QString::fromUtf8(process.readAll());
    return run;
}

QStringList TestInstalledLayout::librariesNotFromTheRoot(const ProgramRun &run) const
{
#ifdef EXAM_BUNDLE_RUNTIME
    QStringList bundled;
    for (QDirIterator it(m_root, {QStringLiteral("*.so*"), QStringLiteral("*.qm")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        bundled.append(libraryBaseName(QFileInfo(it.next()).fileName()));
    // Always from the root: Qt itself, and the platform plugin and Chinese texts qt.conf leads to.
    QStringList wanted{QStringLiteral("libQt6Core.so"), QStringLiteral("libQt6Gui.so"),
                       QStringLiteral("libQt6Widgets.so"), QStringLiteral("libqoffscreen.so"),
                       QStringLiteral("qtbase_zh_CN.qm")};
    QStringList wrong;
    for (const QString &path : run.libraries) {
        const QString name = libraryBaseName(QFileInfo(path).fileName());
        const bool fromRoot = path.startsWith(m_root + u'/');
        if (fromRoot)
            wanted.removeAll(name);
        else if (bundled.contains(name))
            wrong.append(path);
    }
    for (const QString &name : std::as_const(wanted))
        wrong.append(name + QStringLiteral(" (not loaded from the root)"));
    return wrong;
#else
    Q_UNUSED(run)
    return {};
#endif
}

void TestInstalledLayout::shouldStartTheClientOnTheInstalledRepository()
{
    const exam::RepositoryPaths paths(m_root);
    QVERIFY(paths.createPaperFolders(Paper));
    QVERIFY(exam::writeClassTable(paths.systemProfile(), {{ClassName, 30, 1, 30}}));
    QVERIFY(exam::writePaperRoster(paths.systemProfile(),
                                   {{Paper, QStringLiteral("1"), QStringLiteral("0")}}));
    QVERIFY(exam::writeExamRooms(paths.systemProfile(), {{Paper, true, {true}}}, {ClassName}));

    // Without an open paper the client would say so and end; its login window shows only when it
    // read the installed system profile.
    const ProgramRun run =
        runUntilWindow(QStringLiteral("candidate"), {QStringLiteral("考试登录")});
    QVERIFY2(run.log.contains(windowLogLine(QStringLiteral("考试登录"))),
             qPrintable(run.log.right(2000)));
    const QStringList wrong = librariesNotFromTheRoot(run);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

void TestInstalledLayout::shouldStartTheConsoleOnTheInstalledRepository()
{
    const exam::RepositoryPaths paths(m_root);
    QVERIFY(QDir().mkpath(paths.systemFolder()));
    QVERIFY(exam::writeAdminPassword(paths.systemProfile(), QStringLiteral("install-check")));

    // The splash first; then the login window, which only a stored password brings up.
    const ProgramRun run = runUntilWindow(QStringLiteral("proctor"),
                                          {QStringLiteral("考务登录"), QStringLiteral("考务管理")});
    const QString &log = run.log;
    QVERIFY2(log.contains(windowLogLine(QStringLiteral("frmSplash"))), qPrintable(log.right(2000)));
    QVERIFY2(log.contains(windowLogLine(QStringLiteral("考务登录"))), qPrintable(log.right(2000)));
    QVERIFY(!log.contains(windowLogLine(QStringLiteral("考务管理"))));
    const QStringList wrong = librariesNotFromTheRoot(run);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

void TestInstalledLayout::shouldReplaceTheRuntimeAndKeepTheDataWhenInstalledAgain()
{
    const exam::RepositoryPaths paths(m_root);
    // The earlier tests wrote the system profile; add a question, a result and a school's own file
    // beside the runtime.
    const QString question = paths.paperFile(Paper, QStringLiteral("题目1.rtf"));
    const QString result = paths.paperResultsFolder(Paper) + QStringLiteral("/初一(1)班1.cho");
    const QString schoolNote = m_root + QStringLiteral("/lib/学校说明.txt");
    QVERIFY(writeFile(question, "{\\rtf1 题目}"));
    QVERIFY(writeFile(result, "[初一(1)班]\r\n1DF=100\r\n"));
    QVERIFY(QDir().mkpath(m_root + QStringLiteral("/lib")));
    QVERIFY(writeFile(schoolNote, "本校自己的文件"));
    const QStringList dataFiles{paths.systemProfile(), question, result, schoolNote};
    QList<QByteArray> before;
    for (const QString &file : dataFiles)
        before.append(fileContents(file));
    QVERIFY(!before.first().isEmpty());
    const QString qtCore = m_root + QStringLiteral("/lib/libQt6Core.so.6");
    const ino_t qtCoreBefore = inodeOf(qtCore);

    install();
    if (QTest::currentTestFailed())
        return;

    for (qsizetype i = 0; i < dataFiles.size(); ++i)
        QVERIFY2(fileContents(dataFiles.at(i)) == before.at(i), qPrintable(dataFiles.at(i)));
#ifdef EXAM_BUNDLE_RUNTIME
    // A new file, not the old one overwritten: a client running from the share keeps its copy.
    QVERIFY(inodeOf(qtCore) != 0);
    QVERIFY(inodeOf(qtCore) != qtCoreBefore);
#else
    Q_UNUSED(qtCoreBefore)
#endif
    const ProgramRun run =
        runUntilWindow(QStringLiteral("candidate"), {QStringLiteral("考试登录")});
    QVERIFY2(run.log.contains(windowLogLine(QStringLiteral("考试登录"))),
             qPrintable(run.log.right(2000)));
    const QStringList wrong = librariesNotFromTheRoot(run);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

QTEST_MAIN(TestInstalledLayout)
#include "tst_installed_layout.moc"
