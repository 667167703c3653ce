#include "authoring_fixture.h"

#include "proctor/authoring/editor_working_folder.h"
#include "repository/random_source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using authoring_test::readFile;
using authoring_test::writeFile;

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name);
}

// Draws the numbers n given, as "<n>.RTF" names come from them.
class DrawnNumbers final : public exam::RandomSource
{
public:
    explicit DrawnNumbers(QList<int> numbers) : m_numbers(std::move(numbers)) {}
    double uniform() override { return (m_numbers.takeFirst() - 0.5) / 100000000.0; }

private:
    QList<int> m_numbers;
};

} // namespace

class TestEditorWorkingFolder : public QObject
{
    Q_OBJECT

private slots:
    void prepareShouldCreateAMissingFolder();
    void prepareShouldDeleteOnlyRtfFiles();
    void copyShouldReplaceTheFileOfAnyLetterCase();
    void copyShouldLeaveFilesWithTheSameBytes();
    void copyShouldRemoveWhatACutSaveLeft();
    void questionFileShouldBeCopiedOnce_data();
    void questionFileShouldBeCopiedOnce();
    void questionFileCopyShouldReportAMissingFolder();
    void newNamesShouldAvoidThePaperFolder();
    void copyShouldSkipSymbolicLinksAndFolders();
    void copyShouldReportAMissingTarget();
    void unnamedFilesShouldGoAndNamedOnesStay();
};

void TestEditorWorkingFolder::prepareShouldCreateAMissingFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/cache/PCTEST");
    QVERIFY(exam::prepareWorkingFolder(folder));
    QVERIFY(QDir(folder).exists());
}

void TestEditorWorkingFolder::prepareShouldDeleteOnlyRtfFiles()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("1.RTF")), "x");
    writeFile(dir.filePath(QStringLiteral("2.rtf")), "x");
    writeFile(dir.filePath(QStringLiteral("keep.txt")), "x");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.rtf")));
    QVERIFY(exam::prepareWorkingFolder(dir.path()));
    QCOMPARE(filesIn(dir.path()), QStringList({"keep.txt"}));
    QVERIFY(QDir(dir.filePath(QStringLiteral("sub.rtf"))).exists());
}

void TestEditorWorkingFolder::copyShouldReplaceTheFileOfAnyLetterCase()
{
    QTemporaryDir from;
    QTemporaryDir to;
    writeFile(from.filePath(QStringLiteral("a.RTF")), "new");
    writeFile(from.filePath(QStringLiteral("b.rtf")), "bee");
    writeFile(from.filePath(QStringLiteral("c.doc")), "no");
    writeFile(to.filePath(QStringLiteral("A.rtf")), "old");
    QVERIFY(exam::copyRtfFiles(from.path(), to.path()));
    QCOMPARE(filesIn(to.path()), QStringList({"A.rtf", "b.rtf"}));
    QCOMPARE(readFile(to.filePath(QStringLiteral("A.rtf"))), QByteArray("new"));
    QCOMPARE(readFile(to.filePath(QStringLiteral("b.rtf"))), QByteArray("bee"));
}

void TestEditorWorkingFolder::copyShouldLeaveFilesWithTheSameBytes()
{
    QTemporaryDir from;
    QTemporaryDir to;
    writeFile(from.filePath(QStringLiteral("same.rtf")), "{\\rtf1 same}");
    writeFile(to.filePath(QStringLiteral("SAME.RTF")), "{\\rtf1 same}");
    const ino_t before = inodeOf(to.filePath(QStringLiteral("SAME.RTF")));
    QVERIFY(before != 0);
    QVERIFY(exam::copyRtfFiles(from.path(), to.path()));
    QCOMPARE(inodeOf(to.filePath(QStringLiteral("SAME.RTF"))), before);
    QCOMPARE(filesIn(to.path()), QStringList({"SAME.RTF"}));
}

// A save of the paper cut off before its rename left a temporary; the next save of the paper
// removes it, and keeps a file whose name only looks like one.
void TestEditorWorkingFolder::copyShouldRemoveWhatACutSaveLeft()
{
    QTemporaryDir from;
    QTemporaryDir to;
    writeFile(from.filePath(QStringLiteral("1.rtf")), "{\\rtf1 new}");
    writeFile(to.filePath(QStringLiteral("2.RTF.Ab12Cd")), "{\\rtf1 cut");
    writeFile(to.filePath(QStringLiteral("notes.backup")), "kept");
    QVERIFY(exam::copyRtfFiles(from.path(), to.path()));
    QCOMPARE(filesIn(to.path()), QStringList({"1.rtf", "notes.backup"}));
}

void TestEditorWorkingFolder::questionFileShouldBeCopiedOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("working");  // files the working folder has before
    QTest::addColumn<QStringList>("expected"); // the working folder's files after
    QTest::addColumn<QByteArray>("bytes");     // of the working folder's file of that name

    QTest::newRow("paper's spelling")
        << " 1.rtf " << QStringList() << QStringList({"1.RTF"}) << QByteArray("one");
    QTest::newRow("earlier copy kept")
        << "1.RTF" << QStringList({"1.rtf"}) << QStringList({"1.rtf"}) << QByteArray("edited");
    QTest::newRow("read-only source")
        << "ro.rtf" << QStringList() << QStringList({"ro.rtf"}) << QByteArray("ro");
    QTest::newRow("not a question file")
        << "paper.cho" << QStringList() << QStringList() << QByteArray();
    QTest::newRow("symbolic link") << "link.rtf" << QStringList() << QStringList() << QByteArray();
    QTest::newRow("outside the folder")
        << "../outside.rtf" << QStringList() << QStringList() << QByteArray();
    QTest::newRow("missing") << "2.RTF" << QStringList() << QStringList() << QByteArray();
    QTest::newRow("empty name") << "  " << QStringList() << QStringList() << QByteArray();
}

void TestEditorWorkingFolder::questionFileShouldBeCopiedOnce()
{
    QFETCH(QString, name);
    QFETCH(QStringList, working);
    QFETCH(QStringList, expected);
    QFETCH(QByteArray, bytes);
    QTemporaryDir root;
    const QString paper = root.filePath(QStringLiteral("paper"));
    const QString work = root.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(paper) && QDir().mkpath(work));
    writeFile(paper + QStringLiteral("/1.RTF"), "one");
    writeFile(paper + QStringLiteral("/ro.rtf"), "ro");
    QVERIFY(QFile::setPermissions(paper + QStringLiteral("/ro.rtf"), QFile::ReadOwner));
    writeFile(paper + QStringLiteral("/paper.cho"), "[MAIN]");
    writeFile(root.filePath(QStringLiteral("outside.rtf")), "outside");
    QVERIFY(QFile::link(root.filePath(QStringLiteral("outside.rtf")),
                        paper + QStringLiteral("/link.rtf")));
    for (const QString &file : working)
        writeFile(work + u'/' + file, "edited");

    QVERIFY(exam::copyQuestionFile(paper, work, name));
    QCOMPARE(filesIn(work), expected);
    if (!expected.isEmpty()) {
        QCOMPARE(readFile(work + u'/' + expected.first()), bytes);
        // The copy is the editor's to save over.
        QVERIFY(QFileInfo(work + u'/' + expected.first()).permissions() & QFile::WriteOwner);
    }
}

void TestEditorWorkingFolder::questionFileCopyShouldReportAMissingFolder()
{
    QTemporaryDir paper;
    writeFile(paper.filePath(QStringLiteral("1.RTF")), "one");
    QString error;
    const exam::Result failed = exam::copyQuestionFile(
        paper.path(), paper.filePath(QStringLiteral("missing")), QStringLiteral("1.rtf"));
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(error.contains(QStringLiteral("1.RTF")));
}

void TestEditorWorkingFolder::newNamesShouldAvoidThePaperFolder()
{
    QTemporaryDir paper;
    QTemporaryDir work;
    writeFile(paper.filePath(QStringLiteral("5.rtf")), "a question not copied yet");
    writeFile(paper.filePath(QStringLiteral("8.RTF.Ab12Cd")), "what a cut save left");
    writeFile(work.filePath(QStringLiteral("6.RTF")), "a new question");
    DrawnNumbers random({5, 6, 8, 9, 5, 10});
    exam::NewQuestionFileNames names(work.path(), paper.path());
    QCOMPARE(names.next(random), QStringLiteral("9.RTF"));
    QCOMPARE(names.next(random), QStringLiteral("10.RTF"));
}

void TestEditorWorkingFolder::copyShouldSkipSymbolicLinksAndFolders()
{
    QTemporaryDir outside;
    QTemporaryDir from;
    QTemporaryDir to;
    writeFile(outside.filePath(QStringLiteral("secret.txt")), "secret");
    QVERIFY(QFile::link(outside.filePath(QStringLiteral("secret.txt")),
                        from.filePath(QStringLiteral("link.rtf"))));
    QVERIFY(QDir(from.path()).mkdir(QStringLiteral("folder.rtf")));
    QVERIFY(exam::copyRtfFiles(from.path(), to.path()));
    QVERIFY(filesIn(to.path()).isEmpty());
    // Emptying a folder never follows a link either.
    QVERIFY(exam::removeRtfFiles(from.path()));
    QCOMPARE(readFile(outside.filePath(QStringLiteral("secret.txt"))), QByteArray("secret"));
}

void TestEditorWorkingFolder::copyShouldReportAMissingTarget()
{
    QTemporaryDir from;
    writeFile(from.filePath(QStringLiteral("a.rtf")), "x");
    QString error;
    const exam::Result failed =
        exam::copyRtfFiles(from.path(), from.path() + QStringLiteral("/missing"));
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(error.contains(QStringLiteral("a.rtf")));
}

void TestEditorWorkingFolder::unnamedFilesShouldGoAndNamedOnesStay()
{
    QTemporaryDir dir;
    for (const char *name : {"11.RTF", "22.rtf", "33.RTF", "paper.cho", "44.Rtf"})
        writeFile(dir.filePath(QString::fromLatin1(name)), "x");
    QVERIFY(exam::removeUnnamedRtfFiles(dir.path(), {"11.rtf", "22.rtf", "44.rtf"}));
    QCOMPARE(filesIn(dir.path()), QStringList({"11.RTF", "22.rtf", "44.Rtf", "paper.cho"}));
}

QTEST_GUILESS_MAIN(TestEditorWorkingFolder)
#include "tst_editor_working_folder.moc"
