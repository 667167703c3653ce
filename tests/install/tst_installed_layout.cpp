// `cmake --install` lays out a repository root that a school can use as it is: both programs, the
// templates, the help, the paper and result folders. Both programs started from there take that
// folder as their repository: the client lists its papers, the console asks for its password.
//
// A program is ended once its first window is up. Qt's accessibility cache logs every window it
// takes in with the window's objectName, so the test watches the program's log for that name.

#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class TestInstalledLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldLayOutARepositoryRoot_data();
    void shouldLayOutARepositoryRoot();
    void shouldCheckTheInstalledRepositoryClean();
    void shouldStartTheClientOnTheInstalledRepository();
    void shouldStartTheConsoleOnTheInstalledRepository();

private:
    // Starts `program` of the installed root and waits until one of the windows named in
    // `windowNames`, or a message box, shows. Returns the program's log up to then; the program is
    // ended.
    QString runUntilWindow(const QString &program, const QStringList &windowNames);

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

} // namespace

void TestInstalledLayout::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("考试库"));
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(EXAM_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(EXAM_BUILD_DIR), QStringLiteral("--prefix"), m_root});
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

void TestInstalledLayout::shouldCheckTheInstalledRepositoryClean()
{
    QProcess check;
    check.start(m_root + u"/examtool"_qs, {QStringLiteral("check"), m_root});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.readAllStandardOutput(), QByteArray());
    QCOMPARE(check.exitCode(), 0);
}

QString TestInstalledLayout::runUntilWindow(const QString &program, const QStringList &windowNames)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.accessibility.cache.debug=true"));
    // Each program's single-instance lock and working folders in this test's own folders.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime-") + program));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache-") + program));
    QDir().mkpath(env.value(QStringLiteral("XDG_RUNTIME_DIR")));
    QFile::setPermissions(env.value(QStringLiteral("XDG_RUNTIME_DIR")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Started from another folder: the program must find its repository by its own location.
    process.setWorkingDirectory(m_dir.path());
    process.start(m_root + u'/' + program, {});
    QString log;
    const auto windowShown = [&log, &windowNames] {
        return log.contains(QLatin1String("obj=QMessageBox")) ||
               std::any_of(windowNames.cbegin(), windowNames.cend(),
                           [&log](const QString &name) { return log.contains(windowLogLine(name)); });
    };
    const QDeadlineTimer deadline(120000);
    while (!windowShown() && process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        log += QString::fromUtf8(process.readAll());
    }
    process.terminate();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
    }
    return log + QString::fromUtf8(process.readAll());
}

void TestInstalledLayout::shouldStartTheClientOnTheInstalledRepository()
{
    const exam::RepositoryPaths paths(m_root);
    QVERIFY(paths.createPaperFolders(Paper));
    QVERIFY(exam::writeClassTable(paths.systemProfile(), {{ClassName, 30, 1, 30}}));
    QVERIFY(exam::writePaperRoster(paths.systemProfile(), {{Paper, QStringLiteral("1"), QStringLiteral("0")}}));
    QVERIFY(exam::writeExamRooms(paths.systemProfile(), {{Paper, true, {true}}}, {ClassName}));

    // Without an open paper the client would say so and end; its login window shows only when it
    // read the installed system profile.
    const QString log = runUntilWindow(QStringLiteral("candidate"), {QStringLiteral("考试登录")});
    QVERIFY2(log.contains(windowLogLine(QStringLiteral("考试登录"))), qPrintable(log.right(2000)));
}

void TestInstalledLayout::shouldStartTheConsoleOnTheInstalledRepository()
{
    const exam::RepositoryPaths paths(m_root);
    QVERIFY(QDir().mkpath(paths.systemFolder()));
    QVERIFY(exam::writeAdminPassword(paths.systemProfile(), QStringLiteral("install-check")));

    // The splash first; then the login window, which only a stored password brings up.
    const QString log = runUntilWindow(QStringLiteral("proctor"),
                                       {QStringLiteral("考务登录"), QStringLiteral("考务管理")});
    QVERIFY2(log.contains(windowLogLine(QStringLiteral("frmSplash"))), qPrintable(log.right(2000)));
    QVERIFY2(log.contains(windowLogLine(QStringLiteral("考务登录"))), qPrintable(log.right(2000)));
    QVERIFY(!log.contains(windowLogLine(QStringLiteral("考务管理"))));
}

QTEST_MAIN(TestInstalledLayout)
#include "tst_installed_layout.moc"
