#include "repository/profile_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

using exam::ProfileBatch;
using exam::ProfileEncoding;
using exam::ProfileSnapshot;

namespace {

QByteArray gb(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString read(const QString &section, const QString &key, const QString &path,
             const QString &defaultValue = QStringLiteral("<default>"))
{
    return readProfileString(section, key, defaultValue, path);
}

// A value of two alternating lengths, so that a torn file shows as a third form.
QByteArray versionBytes(bool second)
{
    return "[S]\r\nk=" + QByteArray(second ? 300000 : 200000, second ? 'b' : 'a') + "\r\n";
}

// Child mode: stores the two versions one after the other until killed, reporting each store.
int storeForever(const QString &path)
{
    for (bool second = true;; second = !second) {
        const QByteArray bytes = versionBytes(second);
        const QString value = QString::fromLatin1(bytes.mid(7, bytes.size() - 9));
        if (!writeProfileString(QStringLiteral("S"), QStringLiteral("k"), value, path))
            return 1;
        std::fputs("stored\n", stdout);
        std::fflush(stdout);
    }
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void shouldMatchNamesIgnoringCaseAndBlanks_data();
    void shouldMatchNamesIgnoringCaseAndBlanks();
    void shouldReadValueByTheValueRules_data();
    void shouldReadValueByTheValueRules();
    void shouldGiveDefaultWhenMissing_data();
    void shouldGiveDefaultWhenMissing();

    void shouldChangeOnlyTheWrittenLine_data();
    void shouldChangeOnlyTheWrittenLine();
    void shouldCreateNewFileWithCrlf();
    void shouldReturnDefaultWithoutTrailingBlanks();
    void shouldReplaceLineBreaksAndNulInValues();
    void shouldRefuseNamesThatCannotBeStored_data();
    void shouldRefuseNamesThatCannotBeStored();
    void shouldFailWithoutFolder();
    void shouldFailOnReadOnlyFileAndKeepIt();
    void shouldKeepPermissionBits();
    void shouldWriteIntoFileSpelledInOtherCase();

    void shouldReadWindowsCodePage936File();
    void shouldKeepCharactersOutsideCodePage936();
    void shouldFindNamesStartingWithZeroWidthNoBreakSpaceInUtf8File();
    void shouldKeepTheFileEncoding_data();
    void shouldKeepTheFileEncoding();
    void shouldReadGbTextThatLooksLikeShortUtf8AsGb();
    void shouldCountValueLimitInGbBytes();
    void shouldNotTakeGbTrailByteForSectionEnd();

    void shouldSurviveBadFiles_data();
    void shouldSurviveBadFiles();
    void shouldTreatFolderAsUnreadableProfile();
    void shouldRefuseOversizedFileAndKeepIt();

    void snapshotShouldAnswerAsSingleReads_data();
    void snapshotShouldAnswerAsSingleReads();
    void snapshotOfMissingFileShouldGiveDefaults();
    void batchShouldGiveSameBytesAsSingleWrites_data();
    void batchShouldGiveSameBytesAsSingleWrites();
    void batchShouldReportRefusedWriteButStoreTheOthers();
    void storeOfValuesAlreadyStoredShouldLeaveFileAlone();
    void shouldCountFileOpens();

    void killedWriterShouldLeaveOldOrNewFile();

private:
    QString path(const QString &name = QStringLiteral("p.cho")) const
    {
        return m_dir->filePath(name);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProfileFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestProfileFile::shouldMatchNamesIgnoringCaseAndBlanks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("key with leading blank") << QByteArray("[ClassName]\r\n1=A\r\n") << "ClassName"
                                            << " 1"
                                            << "A";
    QTest::newRow("lower-case section") << QByteArray("[MAIN]\r\nTESTTIME=30\r\n") << "main"
                                        << "TESTTIME"
                                        << "30";
    QTest::newRow("upper-case key") << QByteArray("[1]\r\nmark=5\r\n") << "1"
                                    << "MARK"
                                    << "5";
    QTest::newRow("mixed case both") << QByteArray("[MAIN]\r\nTESTTIME=30\r\n") << "Main"
                                     << "TESTtime"
                                     << "30";
    QTest::newRow("blanks around names in file")
        << QByteArray("[ MAIN  ]\r\n  mark  = 5\r\n") << "MAIN"
        << "mark"
        << "5";
    QTest::newRow("blanks around asked names") << QByteArray("[MAIN]\r\nmark=5\r\n") << "  MAIN "
                                               << " mark "
                                               << "5";
    QTest::newRow("tab is part of a name in the file")
        << QByteArray("[MAIN]\r\n\tmark=5\r\n") << "MAIN"
        << "mark"
        << "<default>";
    QTest::newRow("tab is part of an asked name") << QByteArray("[MAIN]\r\nmark=5\r\n") << "MAIN"
                                                  << "mark\t"
                                                  << "<default>";
    QTest::newRow("empty key") << QByteArray("[A]\r\n=1\r\n") << "A"
                               << ""
                               << "1";
    QTest::newRow("empty section") << QByteArray("[A]\r\nk=1\r\n[]\r\nk=2\r\n") << ""
                                   << "k"
                                   << "2";
    QTest::newRow("comment is no key") << QByteArray("[A]\r\n;k=1\r\n k=2\r\n") << "A"
                                       << ";k"
                                       << "<default>";
    QTest::newRow("full-width letters fold") << gb(QStringLiteral("[ＡＢ]\r\nｋ=1\r\n")) << "ａｂ"
                                             << "Ｋ"
                                             << "1";
    QTest::newRow("Chinese names")
        << gb(QStringLiteral("[高一(1)班]\r\n1001=张三\r\n")) << "高一(1)班"
        << "1001"
        << "张三";
    QTest::newRow("first section of a name counts")
        << QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n") << "A"
        << "x"
        << "1";
    QTest::newRow("first key of a name counts") << QByteArray("[A]\r\nx=1\r\nX=2\r\n") << "A"
                                                << "x"
                                                << "1";
    QTest::newRow("key after other section's same key")
        << QByteArray("[A]\r\ny=1\r\n[B]\r\nx=2\r\n") << "B"
        << "x"
        << "2";
    // Only A-Z fold among ASCII: the signs next to them in the code table stay apart.
    QTest::newRow("@ is no backquote") << QByteArray("[A]\r\n`x=1\r\n") << "A"
                                       << "@x"
                                       << "<default>";
    QTest::newRow("[ is no brace") << QByteArray("[A]\r\nk{=1\r\n") << "A"
                                   << "K["
                                   << "<default>";
    QTest::newRow("names alike in their first eight bytes")
        << QByteArray("[A]\r\nquestion_1=1\r\nquestion_2=2\r\nQUESTION_22=3\r\n") << "a"
        << "QUESTION_2"
        << "2";
    QTest::newRow("long name folds in every part")
        << QByteArray("[Section-Name-Of-Many-Letters]\r\nKey-Name-Longer-Than-Sixteen=7\r\n")
        << "SECTION-NAME-OF-MANY-LETTERS"
        << "key-name-longer-than-sixteen"
        << "7";
    QTest::newRow("Kelvin sign in the file is k")
        << gb(QStringLiteral("[A]\r\n\u212A=1\r\n")) << "A"
        << "k"
        << "1";
    QTest::newRow("Kelvin sign asked for is k")
        << QByteArray("[A]\r\nK=1\r\n") << "A" << QStringLiteral("\u212A") << "1";
    QTest::newRow("Cyrillic letters fold") << gb(QStringLiteral("[Класс]\r\nД=1\r\n"))
                                           << QStringLiteral("КЛАСС") << QStringLiteral("д") << "1";
    QTest::newRow("Chinese name with Latin letters")
        << gb(QStringLiteral("[高一A班]\r\nB组=1\r\n")) << QStringLiteral("高一a班")
        << QStringLiteral("b组") << "1";
    QTest::newRow("lone surrogate matches no stand-in character")
        << gb(QStringLiteral("[A]\r\n?=1\r\n\uFFFD=2\r\n")) << "A" << QString(QChar(0xD800))
        << "<default>";
}

void TestProfileFile::shouldMatchNamesIgnoringCaseAndBlanks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QVERIFY(writeBytes(path(), file));
    QCOMPARE(read(section, key, path()), expected);
    QCOMPARE(ProfileSnapshot::load(path()).value(section, key, QStringLiteral("<default>")),
             expected);
}

void TestProfileFile::shouldReadValueByTheValueRules_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("blanks trimmed") << QByteArray("  12 ") << "12";
    QTest::newRow("tab is no blank") << QByteArray(" 12 \t") << "12 \t";
    QTest::newRow("double quotes removed") << QByteArray(" \" a b \" ") << " a b ";
    QTest::newRow("single quotes removed") << QByteArray("'x'") << "x";
    QTest::newRow("only the outer quotes") << QByteArray("''x''") << "'x'";
    QTest::newRow("quotes that differ stay") << QByteArray("\"x'") << "\"x'";
    QTest::newRow("quoted value cut at 255 bytes")
        << "\"" + QByteArray(300, 'q') + "\"" << QString(255, QLatin1Char('q'));
    QTest::newRow("empty") << QByteArray("") << "";
    QTest::newRow("inner blanks kept") << QByteArray("a  b") << "a  b";
    QTest::newRow("cut at NUL") << QByteArray("ab\0cd", 5) << "ab";
    QTest::newRow("NUL first") << QByteArray("\0cd", 3) << "";
    QTest::newRow("300 bytes give 255") << QByteArray(300, 'x') << QString(255, QLatin1Char('x'));
    QTest::newRow("255 bytes kept") << QByteArray(255, 'y') << QString(255, QLatin1Char('y'));
    QTest::newRow("cut never splits a character")
        << gb(QString(150, QChar(0x9AD8))) << QString(127, QChar(0x9AD8));
    QTest::newRow("cut after one ASCII byte keeps whole characters")
        << "a" + gb(QString(150, QChar(0x9AD8))) << QLatin1Char('a') + QString(127, QChar(0x9AD8));
    QTest::newRow("blanks at the cut are trimmed")
        << QByteArray(250, 'z') + QByteArray(20, ' ') + "tail" << QString(250, QLatin1Char('z'));
    QTest::newRow("equals sign inside value") << QByteArray("a=b") << "a=b";
}

void TestProfileFile::shouldReadValueByTheValueRules()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);
    QVERIFY(writeBytes(path(), "[S]\r\nk=" + value + "\r\nnext=1\r\n"));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), expected);
    QCOMPARE(ProfileSnapshot::load(path()).value(QStringLiteral("S"), QStringLiteral("k")),
             expected);
}

void TestProfileFile::shouldGiveDefaultWhenMissing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("missing section") << QByteArray("[A]\r\nk=1\r\n") << "B"
                                     << "k";
    QTest::newRow("missing key") << QByteArray("[A]\r\nk=1\r\n") << "A"
                                 << "j";
    QTest::newRow("key of the next section") << QByteArray("[A]\r\n[B]\r\nk=1\r\n") << "A"
                                             << "k";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[A]\r\n") << "A"
                                            << "k";
    QTest::newRow("key only in a repeated section")
        << QByteArray("[A]\r\n[B]\r\n[A]\r\nk=1\r\n") << "A"
        << "k";
    QTest::newRow("line without equals sign") << QByteArray("[A]\r\nk\r\n") << "A"
                                              << "k";
    QTest::newRow("key before any section asked in the empty section")
        << QByteArray("k=1\r\n[]\r\n") << ""
        << "k";
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "k";
}

void TestProfileFile::shouldGiveDefaultWhenMissing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QVERIFY(writeBytes(path(), file));
    QCOMPARE(read(section, key, path()), QStringLiteral("<default>"));
    QCOMPARE(read(section, key, path(QStringLiteral("missing.cho"))), QStringLiteral("<default>"));
}

void TestProfileFile::shouldChangeOnlyTheWrittenLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray file =
        "; comment\r\n[A]\r\nx=1\r\n y = 2 \r\nunknown=keep\r\n\r\n[B]\r\nz=3\r\n";
    QTest::newRow("existing key keeps its place")
        << file << "a"
        << "Y"
        << "9"
        << QByteArray("; comment\r\n[A]\r\nx=1\r\n y =9\r\nunknown=keep\r\n\r\n[B]\r\nz=3\r\n");
    QTest::newRow("new key at the end of its section, before blank lines")
        << file << "A"
        << "w"
        << "4"
        << QByteArray(
               "; comment\r\n[A]\r\nx=1\r\n y = 2 \r\nunknown=keep\r\nw=4\r\n\r\n[B]\r\nz=3\r\n");
    QTest::newRow("new section at the end") << file << "C"
                                            << "v"
                                            << "5" << file + "[C]\r\nv=5\r\n";
    QTest::newRow("value written as held, leading blank kept")
        << file << "B"
        << "z"
        << " 25"
        << QByteArray("; comment\r\n[A]\r\nx=1\r\n y = 2 \r\nunknown=keep\r\n\r\n[B]\r\nz= 25\r\n");
    QTest::newRow("LF file keeps LF") << QByteArray("[A]\nx=1\n") << "A"
                                      << "y"
                                      << "2" << QByteArray("[A]\nx=1\ny=2\n");
    QTest::newRow("lone CR file keeps CR") << QByteArray("[A]\rx=1\r") << "B"
                                           << "y"
                                           << "2" << QByteArray("[A]\rx=1\r[B]\ry=2\r");
    QTest::newRow("no final line end, new key") << QByteArray("[A]\r\nx=1") << "A"
                                                << "y"
                                                << "2" << QByteArray("[A]\r\nx=1\r\ny=2\r\n");
    QTest::newRow("no final line end, new section") << QByteArray("[A]\nx=1") << "B"
                                                    << "y"
                                                    << "2" << QByteArray("[A]\nx=1\n[B]\ny=2\n");
    QTest::newRow("no final line end, changed key") << QByteArray("[A]\r\nx=1") << "A"
                                                    << "x"
                                                    << "2" << QByteArray("[A]\r\nx=2\r\n");
    QTest::newRow("new key before trailing comments")
        << QByteArray("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\n") << "A"
        << "y"
        << "2" << QByteArray("[A]\r\nx=1\r\ny=2\r\n; note\r\n\r\n[B]\r\n");
    QTest::newRow("empty section gets its key") << QByteArray("[A]\r\n[B]\r\n") << "A"
                                                << "k"
                                                << "v" << QByteArray("[A]\r\nk=v\r\n[B]\r\n");
    QTest::newRow("new key with blanks in name written trimmed")
        << QByteArray("[A]\r\n") << " A "
        << " 1 "
        << "x" << QByteArray("[A]\r\n1=x\r\n");
}

void TestProfileFile::shouldChangeOnlyTheWrittenLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QVERIFY(writeBytes(path(), before));
    QVERIFY(writeProfileString(section, key, value, path()));
    QCOMPARE(readBytes(path()), after);
}

void TestProfileFile::shouldCreateNewFileWithCrlf()
{
    QVERIFY(writeProfileString(QStringLiteral("高一(1)班"), QStringLiteral("17"),
                               QStringLiteral("张三"), path()));
    QVERIFY(writeProfileString(QStringLiteral("高一(1)班"), QStringLiteral("17LAST"), QString(),
                               path()));
    QCOMPARE(readBytes(path()), gb(QStringLiteral("[高一(1)班]\r\n17=张三\r\n17LAST=\r\n")));
}

void TestProfileFile::shouldReturnDefaultWithoutTrailingBlanks()
{
    QCOMPARE(
        readProfileString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral(" 0  "), path()),
        QStringLiteral(" 0"));
    QVERIFY(writeBytes(path(), "[S]\r\n"));
    QCOMPARE(ProfileSnapshot::load(path()).value(QStringLiteral("S"), QStringLiteral("k"),
                                                 QStringLiteral("\t1 ")),
             QStringLiteral("\t1"));
}

void TestProfileFile::shouldReplaceLineBreaksAndNulInValues()
{
    const QString value = QStringLiteral("a\r\n[X]\r\nb=c") + QChar(0) + QStringLiteral("d\re\nf");
    QVERIFY(writeProfileString(QStringLiteral("S"), QStringLiteral("k"), value, path()));
    QCOMPARE(read(QStringLiteral("X"), QStringLiteral("b"), path()), QStringLiteral("<default>"));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()),
             QStringLiteral("a  [X]  b=c d e f"));
    QCOMPARE(readBytes(path()).count('\n'), 2);
}

void TestProfileFile::shouldRefuseNamesThatCannotBeStored_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("key opening a comment") << "A"
                                           << " ;k";
    QTest::newRow("NUL in key") << "A" << QStringLiteral("a") + QChar(0);
    QTest::newRow("NUL in section") << QStringLiteral("A") + QChar(0) << "k";
    QTest::newRow("equals sign in key") << "A"
                                        << "a=b";
    QTest::newRow("key opening a section") << "A"
                                           << "[k";
    QTest::newRow("bracket in section") << "a]b"
                                        << "k";
    QTest::newRow("line break in key") << "A"
                                       << "a\nb";
    QTest::newRow("line break in section") << "A\r"
                                           << "k";
}

void TestProfileFile::shouldRefuseNamesThatCannotBeStored()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    const QByteArray before = "[A]\r\nx=1\r\n";
    QVERIFY(writeBytes(path(), before));
    QVERIFY(!writeProfileString(section, key, QStringLiteral("v"), path()));
    QCOMPARE(readBytes(path()), before);
}

void TestProfileFile::shouldFailWithoutFolder()
{
    const QString inMissing = m_dir->filePath(QStringLiteral("nofolder/p.cho"));
    QVERIFY(!writeProfileString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"),
                                inMissing));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("nofolder"))));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), inMissing),
             QStringLiteral("<default>"));
}

void TestProfileFile::shouldFailOnReadOnlyFileAndKeepIt()
{
    const QByteArray before = "[S]\r\nk=old\r\n";
    QVERIFY(writeBytes(path(), before));
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(!writeProfileString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"),
                                path()));
    QString error;
    ProfileBatch batch(path());
    batch.set(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"));
    const exam::Result failed = batch.store();
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(path()), before);
}

void TestProfileFile::shouldKeepPermissionBits()
{
    QVERIFY(writeBytes(path(), "[S]\r\nk=1\r\n"));
    const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(path(), shared));
    QVERIFY(
        writeProfileString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("2"), path()));
    QCOMPARE(QFile::permissions(path()), shared);
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), QStringLiteral("2"));
}

void TestProfileFile::shouldWriteIntoFileSpelledInOtherCase()
{
    QVERIFY(writeBytes(path(QStringLiteral("SYS.CHO")), "[S]\r\nk=1\r\n"));
    QVERIFY(writeProfileString(QStringLiteral("S"), QStringLiteral("j"), QStringLiteral("2"),
                               path(QStringLiteral("sys.cho"))));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("sys.cho"))));
    QCOMPARE(readBytes(path(QStringLiteral("SYS.CHO"))), QByteArray("[S]\r\nk=1\r\nj=2\r\n"));
    QCOMPARE(read(QStringLiteral("s"), QStringLiteral("K"), path(QStringLiteral("Sys.cho"))),
             QStringLiteral("1"));
}

void TestProfileFile::shouldReadWindowsCodePage936File()
{
    // Bytes as a Windows program with code page 936 stores "[ClassName]1=高一(1)班" and a value.
    const QByteArray cp936 = "[ClassName]\r\nClassNameCount=1\r\n1=\xB8\xDF\xD2\xBB(1)\xB0\xE0\r\n"
                             "[ClassCount]\r\n\xB8\xDF\xD2\xBB(1)\xB0\xE0=45\r\n";
    QVERIFY(writeBytes(path(), cp936));
    QCOMPARE(read(QStringLiteral("ClassName"), QStringLiteral("1"), path()),
             QStringLiteral("高一(1)班"));
    QCOMPARE(read(QStringLiteral("ClassCount"), QStringLiteral("高一(1)班"), path()),
             QStringLiteral("45"));
    QVERIFY(writeProfileString(QStringLiteral("ClassCount"), QStringLiteral("高一(2)班"),
                               QStringLiteral("48"), path()));
    QCOMPARE(readBytes(path()), cp936 + "\xB8\xDF\xD2\xBB(2)\xB0\xE0=48\r\n");
}

void TestProfileFile::shouldKeepCharactersOutsideCodePage936()
{
    // U+4DAE and U+20000 are not in code page 936; GB18030 stores them in four bytes.
    const QString name = QStringLiteral("䶮班") + QString::fromUcs4(U"\U00020000");
    QVERIFY(writeProfileString(name, name + QStringLiteral("12"), name, path()));
    QCOMPARE(read(name, name + QStringLiteral("12"), path()), name);
    QCOMPARE(ProfileSnapshot::load(path()).encoding(), ProfileEncoding::Gb18030);
    QVERIFY(readBytes(path()).contains(gb(name)));
}

void TestProfileFile::shouldFindNamesStartingWithZeroWidthNoBreakSpaceInUtf8File()
{
    // U+FEFF pasted in front of a name is part of the name, not a byte order mark.
    const QString section = QChar(0xFEFF) + QStringLiteral("高一班");
    const QString key = QChar(0xFEFF) + QStringLiteral("17");
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QByteArrayLiteral("\xEF\xBB\xBF") +
        (u'[' + section + QStringLiteral("]\r\n") + key + QStringLiteral("=张三\r\n")).toUtf8());
    file.close();
    QCOMPARE(read(section, key, path()), QStringLiteral("张三"));
    QVERIFY(writeProfileString(section, key, QStringLiteral("李四"), path()));
    QCOMPARE(read(section, key, path()), QStringLiteral("李四"));
    QCOMPARE(readBytes(path()).count('['), 1);
}

void TestProfileFile::shouldKeepTheFileEncoding_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("after");

    const QString text = QStringLiteral("[班级]\r\n1=张三\r\n");
    const QString added = QStringLiteral("2=李四\r\n");
    QStringEncoder utf16(QStringConverter::Utf16LE);
    QTest::newRow("UTF-8 with BOM")
        << "\xEF\xBB\xBF" + text.toUtf8() << int(ProfileEncoding::Utf8Bom)
        << "\xEF\xBB\xBF" + (text + added).toUtf8();
    QTest::newRow("UTF-8 without BOM")
        << text.toUtf8() << int(ProfileEncoding::Utf8) << (text + added).toUtf8();
    const QByteArray utf16Before = utf16.encode(text);
    const QByteArray utf16After = utf16.encode(text + added);
    QTest::newRow("UTF-16LE with BOM")
        << QByteArray("\xFF\xFE", 2) + utf16Before << int(ProfileEncoding::Utf16LeBom)
        << QByteArray("\xFF\xFE", 2) + utf16After;
    QTest::newRow("GB18030") << gb(text) << int(ProfileEncoding::Gb18030) << gb(text + added);
    QTest::newRow("ASCII stays GB18030") << QByteArray("[A]\r\n") << int(ProfileEncoding::Gb18030)
                                         << gb(QStringLiteral("[A]\r\n[班级]\r\n2=李四\r\n"));
}

void TestProfileFile::shouldKeepTheFileEncoding()
{
    QFETCH(QByteArray, before);
    QFETCH(int, encoding);
    QFETCH(QByteArray, after);
    QVERIFY(writeBytes(path(), before));
    QCOMPARE(int(ProfileSnapshot::load(path()).encoding()), encoding);
    QVERIFY(writeProfileString(QStringLiteral("班级"), QStringLiteral("2"), QStringLiteral("李四"),
                               path()));
    QCOMPARE(readBytes(path()), after);
    QCOMPARE(read(QStringLiteral("班级"), QStringLiteral("2"), path()), QStringLiteral("李四"));
}

void TestProfileFile::shouldReadGbTextThatLooksLikeShortUtf8AsGb()
{
    // In GB18030 "隆" is C2 A1 and "楼" C2 A5: both are also valid two-byte UTF-8 sequences.
    const QByteArray bytes = gb(QStringLiteral("[隆]\r\n楼=漏\r\n"));
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString misread = utf8.decode(bytes);
    QVERIFY(!utf8.hasError() && misread.contains(QChar(0xA1)));
    QVERIFY(writeBytes(path(), bytes));
    QCOMPARE(read(QStringLiteral("隆"), QStringLiteral("楼"), path()), QStringLiteral("漏"));
}

void TestProfileFile::shouldCountValueLimitInGbBytes()
{
    // 100 Chinese characters: 300 bytes in UTF-8, 200 in GB18030, so nothing is cut.
    const QString value(100, QChar(0x4E2D));
    QVERIFY(writeBytes(path(),
                       (QStringLiteral("[S]\r\nk=") + value + QStringLiteral("\r\n")).toUtf8()));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), value);
    const QString longer(200, QChar(0x4E2D));
    QVERIFY(writeBytes(path(),
                       (QStringLiteral("[S]\r\nk=") + longer + QStringLiteral("\r\n")).toUtf8()));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), QString(127, QChar(0x4E2D)));
}

void TestProfileFile::shouldNotTakeGbTrailByteForSectionEnd()
{
    // "乚" is 81 5D in GB18030: its trail byte has the value of "]".
    const QString section = QStringLiteral("乚班");
    QVERIFY(gb(section).contains(']'));
    QVERIFY(writeProfileString(section, QStringLiteral("1"), QStringLiteral("x"), path()));
    QVERIFY(writeProfileString(section, QStringLiteral("2"), QStringLiteral("y"), path()));
    QCOMPARE(read(section, QStringLiteral("1"), path()), QStringLiteral("x"));
    QCOMPARE(readBytes(path()).count('['), 1);
}

void TestProfileFile::shouldSurviveBadFiles_data()
{
    QTest::addColumn<QByteArray>("file");

    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(4711);
    for (char &c : garbage)
        c = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("10 MB single line") << QByteArray(10 * 1024 * 1024, 'q');
    QTest::newRow("NUL bytes everywhere") << QByteArray("[S\0]\r\nk\0=1\r\n\0\0\0", 15);
    QTest::newRow("only line ends") << QByteArray("\r\r\n\n\r");
    QTest::newRow("unterminated section") << QByteArray("[S\r\nk=1");
    QTest::newRow("broken UTF-16") << QByteArray("\xFF\xFE[\0S\0]", 7);
    QTest::newRow("broken GB18030 lead at end") << QByteArray("[S]\r\nk=\x81");
}

void TestProfileFile::shouldSurviveBadFiles()
{
    QFETCH(QByteArray, file);
    QVERIFY(writeBytes(path(), file));
    const QString fromRead = read(QStringLiteral("T"), QStringLiteral("k"), path());
    QCOMPARE(fromRead, QStringLiteral("<default>"));
    QCOMPARE(ProfileSnapshot::load(path()).value(QStringLiteral("T"), QStringLiteral("k"),
                                                 QStringLiteral("<default>")),
             fromRead);
    QVERIFY(
        writeProfileString(QStringLiteral("T"), QStringLiteral("k"), QStringLiteral("v"), path()));
    QCOMPARE(read(QStringLiteral("T"), QStringLiteral("k"), path()), QStringLiteral("v"));
    const QByteArray after = readBytes(path());
    if (!file.startsWith("\xFF\xFE"))
        QVERIFY(after.startsWith(file));
}

void TestProfileFile::shouldTreatFolderAsUnreadableProfile()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("p.cho")));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), QStringLiteral("<default>"));
    QVERIFY(!ProfileSnapshot::load(path()).exists());
    QVERIFY(
        !writeProfileString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), path()));
    QVERIFY(QFileInfo(path()).isDir());
}

void TestProfileFile::shouldRefuseOversizedFileAndKeepIt()
{
    // A sparse file far beyond any profile: reading it whole could exhaust memory.
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[S]\r\nk=1\r\n");
    const qint64 size = 200LL * 1024 * 1024;
    QVERIFY(file.resize(size));
    file.close();
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("k"), path()), QStringLiteral("<default>"));
    QString error;
    ProfileBatch batch(path());
    batch.set(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("2"));
    const exam::Result failed = batch.store();
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo(path()).size(), size);
}

void TestProfileFile::snapshotShouldAnswerAsSingleReads_data()
{
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("system profile")
        << gb(QStringLiteral("[ClassName]\r\nClassNameCount=2\r\n1=高一(1)班\r\n2=高一(2)班\r\n["
                             "ClassCount]\r\n高一(1)班=45\r\n"
                             "[TestName]\r\nTestNameCount=1\r\n1=期中考试\r\n期中考试=1\r\n["
                             "期中考试]\r\n高一(1)班=1\r\n"));
    QTest::newRow("repeated names") << QByteArray("[A]\nx=1\nX=2\n[B]\nx=3\n[a]\nx=4\ny=5\n");
    QTest::newRow("long and odd values")
        << "[S]\r\nk=" + QByteArray(400, 'x') + "\r\n j = a\0b \r\n[ T ]\rm= 1\r" + "[U]";
    QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF" + QStringLiteral("[中]\nk=值\n").toUtf8();
}

void TestProfileFile::snapshotShouldAnswerAsSingleReads()
{
    QFETCH(QByteArray, file);
    QVERIFY(writeBytes(path(), file));
    const ProfileSnapshot snapshot = ProfileSnapshot::load(path());
    QVERIFY(snapshot.exists());
    const QStringList sections = {
        QStringLiteral("ClassName"), QStringLiteral("classcount"), QStringLiteral("TestName"),
        QStringLiteral("期中考试"),  QStringLiteral("A"),          QStringLiteral("b"),
        QStringLiteral("S"),         QStringLiteral("T"),          QStringLiteral("U"),
        QStringLiteral("中"),        QStringLiteral("missing")};
    const QStringList keys = {QStringLiteral("ClassNameCount"),
                              QStringLiteral("1"),
                              QStringLiteral(" 2"),
                              QStringLiteral("高一(1)班"),
                              QStringLiteral("期中考试"),
                              QStringLiteral("x"),
                              QStringLiteral("y"),
                              QStringLiteral("k"),
                              QStringLiteral("J"),
                              QStringLiteral("m"),
                              QStringLiteral("missing")};
    for (const QString &section : sections) {
        for (const QString &key : keys) {
            const QString expected = read(section, key, path());
            QCOMPARE(snapshot.value(section, key, QStringLiteral("<default>")), expected);
            QCOMPARE(snapshot.contains(section, key), expected != QStringLiteral("<default>"));
        }
    }
}

void TestProfileFile::snapshotOfMissingFileShouldGiveDefaults()
{
    const ProfileSnapshot snapshot = ProfileSnapshot::load(path(QStringLiteral("none.cho")));
    QVERIFY(!snapshot.exists());
    QCOMPARE(snapshot.value(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("-1")),
             QStringLiteral("-1"));
    QVERIFY(!snapshot.containsSection(QStringLiteral("S")));
}

void TestProfileFile::batchShouldGiveSameBytesAsSingleWrites_data()
{
    QTest::addColumn<QByteArray>("before");

    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("CRLF file with comments")
        << QByteArray("; keep\r\n[1]\r\nQUESTION=1.RTF\r\n\r\n[MAIN]\r\nTESTTIME=30\r\n");
    QTest::newRow("LF file without final line end") << QByteArray("[MAIN]\nMark= 5\nfull_mark= 10");
    QTest::newRow("GB18030 names") << gb(QStringLiteral("[高一(1)班]\r\n1001=张三\r\n"));
    QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE[\0M\0]\0\r\0\n\0", 12);
}

void TestProfileFile::batchShouldGiveSameBytesAsSingleWrites()
{
    QFETCH(QByteArray, before);
    const QString single = path(QStringLiteral("single.cho"));
    const QString batched = path(QStringLiteral("batch.cho"));
    if (!before.isEmpty()) {
        QVERIFY(writeBytes(single, before));
        QVERIFY(writeBytes(batched, before));
    }
    struct Write
    {
        QString section, key, value;
    };
    const QList<Write> writes = {
        {QStringLiteral("MAIN"), QStringLiteral("Question_conut"), QStringLiteral(" 2")},
        {QStringLiteral("main"), QStringLiteral("MARK"), QStringLiteral(" 5")},
        {QStringLiteral("1"), QStringLiteral("QUESTION"), QStringLiteral("123.RTF")},
        {QStringLiteral("1"), QStringLiteral("answer"), QStringLiteral("124")},
        {QStringLiteral("高一(1)班"), QStringLiteral("1001DA1"), QStringLiteral("13")},
        {QStringLiteral("1"), QStringLiteral("answer"), QStringLiteral("3")},
        {QStringLiteral("2"), QStringLiteral("mark"), QString()},
        {QStringLiteral("MAIN"), QStringLiteral("bad=key"), QStringLiteral("x")},
        {QStringLiteral("MAIN"), QStringLiteral("about_test"), QStringLiteral("line\r\nbreak")},
        {QStringLiteral("MAIN"), QStringLiteral("Author"), QStringLiteral("'quoted'")},
    };
    ProfileBatch batch(batched);
    bool everySingleWrite = true;
    for (const Write &w : writes) {
        everySingleWrite =
            writeProfileString(w.section, w.key, w.value, single) && everySingleWrite;
        batch.set(w.section, w.key, w.value);
    }
    QVERIFY(!everySingleWrite);
    QVERIFY(!batch.store()); // the refused key makes the result false
    QCOMPARE(readBytes(batched), readBytes(single));
}

void TestProfileFile::batchShouldReportRefusedWriteButStoreTheOthers()
{
    ProfileBatch batch(path());
    batch.set(QStringLiteral("S"), QStringLiteral("a=b"), QStringLiteral("1"));
    batch.set(QStringLiteral("S"), QStringLiteral("ok"), QStringLiteral("2"));
    QString error;
    const exam::Result failed = batch.store();
    QVERIFY(!failed);
    error = failed.message();
    QVERIFY(error.contains(QStringLiteral("a=b")));
    QCOMPARE(read(QStringLiteral("S"), QStringLiteral("ok"), path()), QStringLiteral("2"));
    QVERIFY(ProfileBatch(path(QStringLiteral("untouched.cho"))).store());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("untouched.cho"))));
}

void TestProfileFile::storeOfValuesAlreadyStoredShouldLeaveFileAlone()
{
    QVERIFY(writeBytes(path(), "[S]\r\na=1\r\n"));
    struct stat before
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path()).constData(), &before), 0);
    QVERIFY(
        writeProfileString(QStringLiteral("s"), QStringLiteral("A"), QStringLiteral("1"), path()));
    struct stat after
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path()).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino); // a store would have renamed a new file into place
    QVERIFY(
        writeProfileString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2"), path()));
    QCOMPARE(::stat(QFile::encodeName(path()).constData(), &after), 0);
    QVERIFY(after.st_ino != before.st_ino);
}

void TestProfileFile::shouldCountFileOpens()
{
    QVERIFY(writeBytes(path(), "[S]\r\na=1\r\nb=2\r\n"));
    const quint64 before = exam::profileFileOpenCount();
    const ProfileSnapshot snapshot = ProfileSnapshot::load(path());
    QCOMPARE(snapshot.value(QStringLiteral("S"), QStringLiteral("a")), QStringLiteral("1"));
    QCOMPARE(snapshot.value(QStringLiteral("S"), QStringLiteral("b")), QStringLiteral("2"));
    QCOMPARE(exam::profileFileOpenCount() - before, quint64(1));
    read(QStringLiteral("S"), QStringLiteral("a"), path());
    read(QStringLiteral("S"), QStringLiteral("b"), path());
    QCOMPARE(exam::profileFileOpenCount() - before, quint64(3));
}

void TestProfileFile::killedWriterShouldLeaveOldOrNewFile()
{
    const QByteArray first = versionBytes(false);
    const QByteArray second = versionBytes(true);
    QVERIFY(writeBytes(path(), first));
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--store-forever"), path()});
        QVERIFY(writer.waitForStarted());
        // Kill after a varying number of completed stores, while the next one is under way.
        for (int stores = 0; stores <= round % 4;) {
            QVERIFY2(writer.waitForReadyRead(20000), "the writer stopped storing");
            while (writer.canReadLine()) {
                QCOMPARE(writer.readLine(), QByteArray("stored\n"));
                ++stores;
            }
            // A reader meanwhile sees one whole version, never a file being written.
            const QByteArray seen = readBytes(path());
            QVERIFY(seen == first || seen == second);
        }
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished());
        const QByteArray now = readBytes(path());
        QVERIFY2(now == first || now == second,
                 qPrintable(QStringLiteral("torn file of %1 bytes").arg(now.size())));
    }
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--store-forever") == 0)
        return storeForever(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestProfileFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profile_file.moc"
