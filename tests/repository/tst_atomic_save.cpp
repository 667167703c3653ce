#include "reliability/crash_states.h"
#include "repository/atomic_save.h"
#include "repository/file_ops.h"
#include "repository/leftover_temporaries.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using reliability::DiskState;
using reliability::RecordingFileOps;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString &path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

QStringList temporariesIn(const QString &folder)
{
    QStringList found;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (name.contains(u".rtf.") || exam::isLeftoverTemporary(name))
            found << name;
    }
    return found;
}

// Real calls, but every rename after the first `allowed` fails as on a share where another
// computer holds the file open.
class RenameRefusingFileOps final : public exam::PosixFileOps
{
public:
    int allowed = 0;
    int renames = 0;
    bool rename(const QString &from, const QString &to) override
    {
        if (renames++ < allowed)
            return PosixFileOps::rename(from, to);
        errno = EBUSY;
        return false;
    }
};

enum class Save { Replace, Create, Copy };

} // namespace

Q_DECLARE_METATYPE(Save)

class TestAtomicSave : public QObject
{
    Q_OBJECT

private slots:
    // Question files, workbooks and copies get the guarantee profiles have: a power cut at any
    // moment leaves the old file or the new one under the name, and nothing else but temporaries.
    void everyCrashStateShouldHoldTheOldOrTheNewFile_data()
    {
        QTest::addColumn<Save>("save");
        QTest::newRow("a question file saved again") << Save::Replace;
        QTest::newRow("a new question file") << Save::Create;
        QTest::newRow("the editor's copy back into the paper folder") << Save::Copy;
    }
    void everyCrashStateShouldHoldTheOldOrTheNewFile()
    {
        QFETCH(Save, save);
        QTemporaryDir dir;
        QTemporaryDir source;
        const QString target = QDir(dir.path()).absoluteFilePath(QStringLiteral("12345.rtf"));
        const QByteArray oldBytes = QByteArray("{\\rtf1 old question}");
        const QByteArray newBytes = QByteArray("{\\rtf1 the new question, longer than the old}");
        if (save != Save::Create)
            writeFile(target, oldBytes);
        const QString copyFrom = source.filePath(QStringLiteral("12345.rtf"));
        writeFile(copyFrom, newBytes);

        const QSet<QString> folders{QDir(dir.path()).absolutePath()};
        const DiskState before = reliability::readFolders(folders);
        RecordingFileOps recorder;
        {
            const exam::ScopedFileOps recording(recorder);
            const exam::Result saved = save == Save::Copy
                                           ? exam::copyFileAtomically(copyFrom, target)
                                           : exam::saveFileAtomically(target, newBytes);
            QVERIFY2(saved.ok(), qPrintable(saved.message()));
        }
        QCOMPARE(readFile(target), newBytes);
        QVERIFY(temporariesIn(dir.path()).isEmpty());

        QStringList problems;
        const int explored = reliability::crashStates(
            before, recorder.ops, [&](const DiskState &state, int cutAfter) {
                for (const auto &[path, bytes] : state) {
                    const bool named = path == target;
                    if (named && bytes != oldBytes && bytes != newBytes)
                        problems << QStringLiteral(
                                        "cut after %1: the file holds %2 bytes of neither")
                                        .arg(cutAfter)
                                        .arg(bytes.size());
                    if (!named && !exam::isTemporaryOf(QFileInfo(path).fileName(),
                                                       QStringLiteral("12345.rtf")))
                        problems << QStringLiteral("cut after %1: unknown file %2")
                                        .arg(cutAfter)
                                        .arg(path);
                }
                if (save != Save::Create && !state.count(target))
                    problems << QStringLiteral("cut after %1: the file is gone").arg(cutAfter);
            });
        QVERIFY(explored > 1);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0)));
    }

    void shouldKeepThePermissionBits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("group may write (the students' result files)") << 0664;
        QTest::newRow("owner only") << 0600;
        QTest::newRow("everybody may write") << 0666;
    }
    void shouldKeepThePermissionBits()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("score.xlsx"));
        writeFile(path, "old");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        const exam::Result saved = exam::saveFileAtomically(path, "new");
        QVERIFY2(saved.ok(), qPrintable(saved.message()));
        QCOMPARE(readFile(path), QByteArray("new"));
        QCOMPARE(int(modeOf(path)), mode);
    }

    void shouldRefuseAndLeaveEverythingAsItWas_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read-only file") << true << QStringLiteral("文件是只读的,无法保存");
        QTest::newRow("missing folder") << false << QStringLiteral("文件夹不存在");
    }
    void shouldRefuseAndLeaveEverythingAsItWas()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("1.rtf"));
        if (readOnly) {
            writeFile(path, "old");
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        } else {
            path = dir.filePath(QStringLiteral("missing/1.rtf"));
        }
        const exam::Result saved = exam::saveFileAtomically(path, "new");
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message().contains(expected), qPrintable(saved.message()));
        QVERIFY2(saved.message().contains(QStringLiteral("1.rtf")), qPrintable(saved.message()));
        QCOMPARE(readFile(path), readOnly ? QByteArray("old") : QByteArray());
        QVERIFY(temporariesIn(dir.path()).isEmpty());
    }

    void failedRenameShouldBeRetriedThenLeaveTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("1.rtf"));
        writeFile(path, "old");
        RenameRefusingFileOps refusing;
        exam::Result saved;
        {
            const exam::ScopedFileOps installed(refusing);
            saved = exam::saveFileAtomically(path, "new");
        }
        QVERIFY(!saved.ok());
        QVERIFY(refusing.renames > 1);
        QVERIFY2(saved.message().startsWith(QStringLiteral("无法保存文件 ")),
                 qPrintable(saved.message()));
        QCOMPARE(readFile(path), QByteArray("old"));
        QVERIFY(temporariesIn(dir.path()).isEmpty());
    }

    // A save cut off before its rename leaves "<file>.XXXXXX"; the file's next save removes it and
    // leaves another file's temporary and a name that only looks like one alone.
    void nextSaveShouldRemoveTheTemporariesACutSaveLeft()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("q1.RTF"));
        writeFile(dir.filePath(QStringLiteral("q1.RTF.Ab12Cd")), "cut");
        writeFile(dir.filePath(QStringLiteral("q2.RTF.Ab12Cd")), "other");
        writeFile(dir.filePath(QStringLiteral("q1.RTF.backup1")), "kept");
        QVERIFY(exam::saveFileAtomically(path, "new").ok());
        QCOMPARE(readFile(path), QByteArray("new"));
        QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left, (QStringList{QStringLiteral("q1.RTF"), QStringLiteral("q1.RTF.backup1"),
                                    QStringLiteral("q2.RTF.Ab12Cd")}));
    }

    // A batch is all or nothing: a failure at any step leaves none of its files or temporaries.
    void failedBatchShouldLeaveNothingOfIt_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::addColumn<int>("renamesAllowed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a file's folder is missing") << true << 3 << QStringLiteral("文件夹不存在");
        QTest::newRow("the first rename fails") << false << 0 << QStringLiteral("3.RTF");
        QTest::newRow("a rename fails after two") << false << 2 << QStringLiteral("5.RTF");
    }
    void failedBatchShouldLeaveNothingOfIt()
    {
        QFETCH(bool, missingFolder);
        QFETCH(int, renamesAllowed);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("1.RTF")), "kept");
        QList<exam::NewFile> files;
        for (int n = 3; n <= 6; ++n)
            files.append({dir.filePath(QStringLiteral("%1.RTF").arg(n)), QByteArray::number(n)});
        if (missingFolder)
            files.append({dir.filePath(QStringLiteral("missing/7.RTF")), "7"});
        RenameRefusingFileOps refusing;
        refusing.allowed = renamesAllowed;
        exam::Result saved;
        {
            const exam::ScopedFileOps installed(refusing);
            saved = exam::saveNewFilesAtomically(files);
        }
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message().startsWith(QStringLiteral("无法保存文件 ")),
                 qPrintable(saved.message()));
        QVERIFY2(saved.message().contains(expected), qPrintable(saved.message()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("1.RTF")});
    }

    void copyOfAMissingFileShouldLeaveTheTarget()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("1.rtf"));
        writeFile(target, "old");
        const exam::Result copied =
            exam::copyFileAtomically(dir.filePath(QStringLiteral("gone.rtf")), target);
        QVERIFY(!copied.ok());
        QVERIFY2(copied.message().contains(QStringLiteral("gone.rtf")),
                 qPrintable(copied.message()));
        QCOMPARE(readFile(target), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomic_save.moc"
