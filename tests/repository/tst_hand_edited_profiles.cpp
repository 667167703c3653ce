// Profiles as teachers edit them by hand and as the Windows programs leave them, from the folder
// data/hand-edited: quotes, comments, tabs, broken section headers, empty names and a missing final
// line break are read and written as the Windows profile functions do.

#include "repository/profile_file.h"
#include "repository/profile_values.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Fixtures = QStringLiteral(EXAM_TEST_DATA_DIR "/hand-edited/");

QByteArray gb(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHandEditedProfiles : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadAsTheWindowsProgramsRead_data();
    void shouldReadAsTheWindowsProgramsRead();
    void shouldWriteAsTheWindowsProgramsWrite_data();
    void shouldWriteAsTheWindowsProgramsWrite();
    void shouldReadBackQuotedValuesAsWritten_data();
    void shouldReadBackQuotedValuesAsWritten();
};

void TestHandEditedProfiles::shouldReadAsTheWindowsProgramsRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("double quotes, blanks inside kept") << "quotes.cho"
                                                       << "MAIN"
                                                       << "about_test"
                                                       << "  欢迎参加考试  ";
    QTest::newRow("single quotes") << "quotes.cho"
                                   << "main"
                                   << "author"
                                   << "张老师";
    QTest::newRow("only the outer pair") << "quotes.cho"
                                         << "MAIN"
                                         << "nested"
                                         << "\"x\"";
    QTest::newRow("quotes that do not match stay") << "quotes.cho"
                                                   << "MAIN"
                                                   << "unmatched"
                                                   << "\"abc'";
    QTest::newRow("a lone quote stays") << "quotes.cho"
                                        << "MAIN"
                                        << "lone"
                                        << "\"";
    QTest::newRow("empty quotes") << "quotes.cho"
                                  << "MAIN"
                                  << "empty"
                                  << "";
    QTest::newRow("quotes inside stay") << "quotes.cho"
                                        << "MAIN"
                                        << "inner"
                                        << "a \"b\" c";
    QTest::newRow("blanks outside quotes") << "quotes.cho"
                                           << "MAIN"
                                           << "spaced"
                                           << "q";
    QTest::newRow("quoted mark") << "quotes.cho"
                                 << "1"
                                 << "mark"
                                 << "5";

    QTest::newRow("key after a comment") << "comments.cho"
                                         << "ClassName"
                                         << "1"
                                         << "初一(1)班";
    QTest::newRow("commented key is no key") << "comments.cho"
                                             << "ClassName"
                                             << ";1"
                                             << "<default>";
    QTest::newRow("indented comment") << "comments.cho"
                                      << "ClassName"
                                      << "2"
                                      << "801";

    QTest::newRow("tab before a value stays") << "tabs.cho"
                                              << "MAIN"
                                              << "TESTTIME"
                                              << "\t30";
    QTest::newRow("tab before a key is part of it") << "tabs.cho"
                                                    << "MAIN"
                                                    << "Author"
                                                    << "<default>";
    QTest::newRow("key with its tab") << "tabs.cho"
                                      << "MAIN"
                                      << "\tAuthor"
                                      << "李老师";
    QTest::newRow("blanks around key and value") << "tabs.cho"
                                                 << "MAIN"
                                                 << "mark"
                                                 << "5";
    QTest::newRow("tab in a section name is part of it") << "tabs.cho"
                                                         << "Tabbed"
                                                         << "k"
                                                         << "<default>";
    QTest::newRow("section with its tab") << "tabs.cho"
                                          << "\tTabbed"
                                          << "k"
                                          << "1";
    QTest::newRow("blanks around a section name") << "tabs.cho"
                                                  << "Spaced"
                                                  << "k"
                                                  << "2";

    QTest::newRow("line without ] opens no section") << "broken-headers.cho"
                                                     << "MAIN"
                                                     << "TESTTIME"
                                                     << "<default>";
    QTest::newRow("name ends at the last ]") << "broken-headers.cho"
                                             << "1]"
                                             << "QUESTION"
                                             << "1.RTF";
    QTest::newRow("not at the first ]") << "broken-headers.cho"
                                        << "1"
                                        << "QUESTION"
                                        << "<default>";
    QTest::newRow("text between two ]") << "broken-headers.cho"
                                        << "2] 第二题"
                                        << "QUESTION"
                                        << "2.RTF";
    QTest::newRow("broken header swallows no section") << "broken-headers.cho"
                                                       << "2] 第二题"
                                                       << "answer"
                                                       << "1";
    QTest::newRow("broken header with = is a key") << "broken-headers.cho"
                                                   << "2] 第二题"
                                                   << "[4"
                                                   << "x";

    QTest::newRow("empty section, empty key") << "empty-names.cho"
                                              << ""
                                              << ""
                                              << "空节的空键";
    QTest::newRow("empty section, named key") << "empty-names.cho"
                                              << " "
                                              << "k"
                                              << "空节的键";
    QTest::newRow("named section, empty key") << "empty-names.cho"
                                              << "A"
                                              << ""
                                              << "A的空键";

    QTest::newRow("last line without line break") << "no-final-line-break.cho"
                                                  << "MAIN"
                                                  << "Mark"
                                                  << "5";
}

void TestHandEditedProfiles::shouldReadAsTheWindowsProgramsRead()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = Fixtures + file;
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(readProfileString(section, key, QStringLiteral("<default>"), path), expected);
    const exam::ProfileSnapshot snapshot = exam::ProfileSnapshot::load(path);
    QCOMPARE(snapshot.value(section, key, QStringLiteral("<default>")), expected);
    QCOMPARE(snapshot.section(section).value(key, QStringLiteral("<default>")), expected);
    const double number = snapshot.contains(section, key) ? exam::leadingNumber(expected) : 0.0;
    QCOMPARE(snapshot.section(section).leadingNumberOf(key), number);
}

void TestHandEditedProfiles::shouldWriteAsTheWindowsProgramsWrite_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("before"); // the bytes the write changes …
    QTest::addColumn<QByteArray>("after");  // … and what it makes of them

    QTest::newRow("new key before the trailing comment")
        << "comments.cho"
        << "ClassName"
        << "3"
        << "初一(2)班" << gb(QStringLiteral("2=801\r\n"))
        << gb(QStringLiteral("2=801\r\n3=初一(2)班\r\n"));
    QTest::newRow("comment that looks like the key stays")
        << "comments.cho"
        << "ClassName"
        << "1"
        << "初一(3)班" << gb(QStringLiteral(";1=旧班级\r\n1=初一(1)班\r\n"))
        << gb(QStringLiteral(";1=旧班级\r\n1=初一(3)班\r\n"));
    QTest::newRow("key with its tab keeps its line")
        << "tabs.cho"
        << "MAIN"
        << "\tAuthor"
        << "王老师" << gb(QStringLiteral("李老师")) << gb(QStringLiteral("王老师"));
    QTest::newRow("broken header: the section is added")
        << "broken-headers.cho"
        << "MAIN"
        << "TESTTIME"
        << "45" << QByteArray("[4=x\r\n") << QByteArray("[4=x\r\n[MAIN]\r\nTESTTIME=45\r\n");
    QTest::newRow("empty key of the empty section")
        << "empty-names.cho"
        << ""
        << ""
        << "新值" << gb(QStringLiteral("[]\r\n=空节的空键")) << gb(QStringLiteral("[]\r\n=新值"));
    QTest::newRow("new empty key")
        << "comments.cho"
        << "TestName"
        << ""
        << "v" << QByteArray("TestNameCount=0\r\n") << QByteArray("TestNameCount=0\r\n=v\r\n");
    QTest::newRow("new empty section")
        << "tabs.cho"
        << ""
        << "k"
        << "v" << QByteArray("k=2\r\n") << QByteArray("k=2\r\n[]\r\nk=v\r\n");
    QTest::newRow("rewritten last line gets CRLF")
        << "no-final-line-break.cho"
        << "MAIN"
        << "Mark"
        << " 6" << QByteArray("Mark= 5") << QByteArray("Mark= 6\r\n");
    QTest::newRow("key added after the last line")
        << "no-final-line-break.cho"
        << "MAIN"
        << "full_mark"
        << " 30" << QByteArray("Mark= 5") << QByteArray("Mark= 5\r\nfull_mark= 30\r\n");
}

void TestHandEditedProfiles::shouldWriteAsTheWindowsProgramsWrite()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(file);
    QVERIFY(QFile::copy(Fixtures + file, path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QByteArray expected = readBytes(path);
    QCOMPARE(expected.count(before), 1);
    expected.replace(before, after);

    QVERIFY(writeProfileString(section, key, value, path));
    QCOMPARE(readBytes(path), expected);
    QCOMPARE(readProfileString(section, key, QString(), path), exam::trimBlanks(value));
}

void TestHandEditedProfiles::shouldReadBackQuotedValuesAsWritten_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("single quotes") << "'张三'" << QByteArray("\"'\xD5\xC5\xC8\xFD'\"");
    QTest::newRow("double quotes") << "\"x\"" << QByteArray("\"\"x\"\"");
    QTest::newRow("blanks outside the quotes") << "  'x' " << QByteArray("\"'x'\"");
    QTest::newRow("one quote is no pair") << "'" << QByteArray("'");
    QTest::newRow("quotes that do not match") << "'x\"" << QByteArray("'x\"");
    QTest::newRow("quote inside") << "a'b'" << QByteArray("a'b'");
}

void TestHandEditedProfiles::shouldReadBackQuotedValuesAsWritten()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, stored);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("result.cho"));
    QVERIFY(writeProfileString(QStringLiteral("801"), QStringLiteral("1001"), value, path));
    QCOMPARE(readBytes(path), "[801]\r\n1001=" + stored + "\r\n");
    QCOMPARE(readProfileString(QStringLiteral("801"), QStringLiteral("1001"), QString(), path),
             exam::trimBlanks(value));
}

QTEST_GUILESS_MAIN(TestHandEditedProfiles)
#include "tst_hand_edited_profiles.moc"
