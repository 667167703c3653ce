// The demo repository is one a school could use: every paper opens with all its documents, can be
// sat through the client, and the finished results read as the console reads them. make-demo
// leaves a repository that is there already as it is.

#include "platform/rtf/rtf.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"
#include "tools/demo_repository.h"
#include "tools/scripted_client.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFormat>

class FixedClock final : public exam::Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 2), QTime(8, 30)); }
};

class TestDemoRepository : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldListTwoClassesAndThreeOpenPapers();
    void shouldOpenEveryPaperWithAllItsDocuments();
    void shouldShowPicturesInThePicturePaper();
    void shouldHoldFinishedResultsAsTheClientWroteThem();
    void shouldLetANewStudentSitEveryPaper();
    void shouldLeaveAnExistingRepositoryAsItIs();

private:
    QTemporaryDir m_dir;
    QString m_root;
    exam::SecureRandomSource m_random;
    FixedClock m_clock;
};

namespace {

bool hasImage(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                return true;
        }
    }
    return false;
}

QByteArray treeDigest(const QString &root)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    for (const QString &path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        hash.addData(path.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result();
}

} // namespace

void TestDemoRepository::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("demo"));
    if (const exam::Result result = exam::demo::writeDemoRepository(m_root, m_random, m_clock);
        !result)
        QFAIL(qPrintable(result.message()));
}

void TestDemoRepository::shouldListTwoClassesAndThreeOpenPapers()
{
    const auto system = exam::ProfileSnapshot::load(exam::RepositoryPaths(m_root).systemProfile());
    QCOMPARE(exam::readClassTable(system), exam::demo::demoClasses());
    const QList<exam::PaperEntry> papers = exam::readPaperRoster(system);
    QCOMPARE(papers.size(), 3);
    for (const exam::PaperEntry &paper : papers) {
        QVERIFY2(paper.isOpen(), qPrintable(paper.name));
        for (const exam::ClassEntry &c : exam::demo::demoClasses())
            QVERIFY(exam::isAdmitted(system, paper.name, c.name,
                                     exam::AdmissionReader::ClientAtStartup));
    }
}

void TestDemoRepository::shouldOpenEveryPaperWithAllItsDocuments()
{
    const exam::RepositoryPaths paths(m_root);
    const auto papers = exam::readPaperRoster(exam::ProfileSnapshot::load(paths.systemProfile()));
    for (const exam::PaperEntry &entry : papers) {
        const exam::PaperData paper = exam::loadPaper(paths.paperProfile(entry.name));
        QVERIFY2(paper.questionCount >= 4, qPrintable(entry.name));
        QCOMPARE(paper.questions.size(), paper.questionCount + 2);
        for (int k = 1; k <= paper.questionCount; ++k) {
            const exam::PaperQuestion &q = paper.question(k);
            QVERIFY(!q.answer.isEmpty());
            for (const QString &file : {q.questionFile, q.explainFile}) {
                QTextDocument document;
                const exam::Result loaded =
                    rtf::loadRtfFile(paths.paperFile(entry.name, file), &document);
                QVERIFY2(loaded, qPrintable(entry.name + u' ' + file + u' ' + loaded.message()));
                QVERIFY2(!document.toPlainText().trimmed().isEmpty(), qPrintable(file));
            }
        }
        const auto settings =
            exam::readPaperSettings(exam::ProfileSnapshot::load(paths.paperProfile(entry.name)),
                                    exam::PaperReader::Console);
        QVERIFY(!settings.aboutTest.isEmpty());
        if (!settings.drawsAtRandom())
            QCOMPARE(settings.fullMark.toInt(), 100);
    }
}

void TestDemoRepository::shouldShowPicturesInThePicturePaper()
{
    const exam::RepositoryPaths paths(m_root);
    int practice = 0, drawn = 0, pictured = 0;
    for (const exam::demo::DemoPaper &demo : exam::demo::demoPapers()) {
        const auto settings = exam::readPaperSettings(
            exam::ProfileSnapshot::load(paths.paperProfile(demo.name)), exam::PaperReader::Client);
        practice += settings.isExerciseMode();
        drawn +=
            settings.drawsAtRandom() && settings.randomDrawCount.toInt() < demo.questions.size();
        const exam::PaperData paper = exam::loadPaper(paths.paperProfile(demo.name));
        int pictures = 0;
        for (int k = 1; k <= paper.questionCount; ++k) {
            QTextDocument document;
            QVERIFY(rtf::loadRtfFile(paths.paperFile(demo.name, paper.question(k).questionFile),
                                     &document));
            pictures += hasImage(document);
        }
        if (pictures == paper.questionCount)
            ++pictured;
        else
            QCOMPARE(pictures, 0);
    }
    QCOMPARE(practice, 1);
    QCOMPARE(drawn, 1);
    QCOMPARE(pictured, 1);
}

void TestDemoRepository::shouldHoldFinishedResultsAsTheClientWroteThem()
{
    const exam::RepositoryPaths paths(m_root);
    const exam::ClassEntry first = exam::demo::demoClasses().constFirst();
    int finished = 0;
    for (const exam::demo::DemoPaper &demo : exam::demo::demoPapers()) {
        const exam::PaperData paper = exam::loadPaper(paths.paperProfile(demo.name));
        for (int number = first.first; number <= first.last; ++number) {
            const QString n = QString::number(number);
            const auto result = exam::readStudentResult(
                paths.resultProfile(demo.name, first.name, n), first.name, n, paper.questionCount);
            if (result.state != exam::AttemptState::Finished)
                continue;
            ++finished;
            QVERIFY(!result.name.isEmpty());
            QVERIFY(!result.startStamp.isEmpty());
            // The stored score is the sum of the marks of the questions answered right.
            int expected = 0;
            for (int k = 1; k <= paper.questionCount; ++k) {
                if (result.answers.at(k - 1) == paper.question(k).answer.toLongLong())
                    expected += paper.defaultMark;
            }
            QCOMPARE(int(result.scoreValue()), expected);
        }
    }
    QVERIFY2(finished >= 10, qPrintable(QString::number(finished)));
}

void TestDemoRepository::shouldLetANewStudentSitEveryPaper()
{
    const exam::ClassEntry second = exam::demo::demoClasses().constLast();
    for (const exam::demo::DemoPaper &demo : exam::demo::demoPapers()) {
        exam::demo::ClientRun run;
        run.paper = demo.name;
        run.className = second.name;
        run.number = QString::number(second.last);
        run.name = QStringLiteral("新同学");
        run.answerFor = [&demo](int k) { return demo.questions.at(k - 1).answer.toDouble(); };
        run.runsLocally = false;
        run.localCacheFolder = m_dir.filePath(QStringLiteral("cache/kbtest4"));
        const auto outcome = exam::demo::sitPaper(m_root, run, m_random, m_clock);
        QVERIFY2(outcome.handedIn, qPrintable(outcome.dialogTexts.join(u'|')));
        const int presented = demo.drawCount > 0 ? demo.drawCount : int(demo.questions.size());
        QCOMPARE(outcome.order.size(), presented);
        QVERIFY2(outcome.handInMessage.contains(
                     QStringLiteral("您的成绩为:%1").arg(presented * demo.defaultMark)),
                 qPrintable(outcome.handInMessage));
    }
}

void TestDemoRepository::shouldLeaveAnExistingRepositoryAsItIs()
{
    const QString made = m_dir.filePath(QStringLiteral("made"));
    QProcess tool;
    tool.start(QStringLiteral(EXAM_MAKE_DEMO), {made});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    QVERIFY(QFileInfo::exists(exam::RepositoryPaths(made).systemProfile()));
    // A teacher's change survives a second run.
    QVERIFY(writeProfileString(QStringLiteral("Admin"), QStringLiteral("pwd"),
                               QStringLiteral("mine"),
                               exam::RepositoryPaths(made).systemProfile()));
    const QByteArray before = treeDigest(made);
    tool.start(QStringLiteral(EXAM_MAKE_DEMO), {made});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(treeDigest(made), before);
}

QTEST_MAIN(TestDemoRepository)
#include "tst_demo_repository.moc"
