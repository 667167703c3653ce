#include "repository/paper_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Hands out the scripted numbers in turn, then repeats the last one.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values) : m_values(std::move(values)) {}
    double uniform() override
    {
        ++draws;
        return m_values.size() > 1 ? m_values.takeFirst() : m_values.first();
    }
    int draws = 0;

private:
    QList<double> m_values;
};

PaperData paperWithMarks(qint16 defaultMark, const QStringList &marks)
{
    PaperData paper;
    paper.defaultMark = defaultMark;
    paper.questionCount = qint16(marks.size());
    paper.questions = QList<PaperQuestion>(marks.size() + 2);
    for (qsizetype k = 0; k < marks.size(); ++k)
        paper.questions[k + 1].mark = marks.at(k);
    return paper;
}

} // namespace

class TestPaperProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingProfileShouldReadWithEachReadersDefaults_data();
    void missingProfileShouldReadWithEachReadersDefaults();
    void newPaperShouldStoreItsSettings();
    void settingsAndQuestionsShouldKeepEachOthersKeys();
    void loadShouldReadWhatSaveWrote();
    void loadShouldFindKeysInAnyCase();
    void loadShouldTreatNegativeCountAsNoQuestions();
    void totalMarkRule_data();
    void totalMarkRule();
    void questionMarkShouldCutAtNul();
    void newDocumentNameShouldFollowTheFormula_data();
    void newDocumentNameShouldFollowTheFormula();
    void newDocumentNameShouldSkipTakenNamesInAnyCase();
    void newDocumentNameShouldGiveUpOnBrokenSource();
    void namerShouldNeverRepeatANameNorTakeOneWithATemporary();

private:
    QString path() const { return m_dir->filePath(u"p.cho"_s); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPaperProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestPaperProfile::missingProfileShouldReadWithEachReadersDefaults_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("shuffles");

    QTest::newRow("console") << int(PaperReader::Console) << u"0"_s << false;
    QTest::newRow("client") << int(PaperReader::Client) << QString() << true;
}

void TestPaperProfile::missingProfileShouldReadWithEachReadersDefaults()
{
    QFETCH(int, reader);
    QFETCH(QString, password);
    QFETCH(bool, shuffles);
    const PaperSettings settings =
        readPaperSettings(ProfileSnapshot::load(path()), PaperReader(reader));
    QCOMPARE(settings.testTime, u"0"_s);
    QCOMPARE(settings.retestPassword, password);
    QCOMPARE(settings.reloginPassword, password);
    QCOMPARE(settings.shufflesQuestions(), shuffles);
    QVERIFY(!settings.isExerciseMode());
    QVERIFY(!settings.showsScore());
    QVERIFY(!settings.drawsAtRandom());
    QCOMPARE(loadPaper(path()).questionCount, qint16(0));
}

void TestPaperProfile::newPaperShouldStoreItsSettings()
{
    QVERIFY(writePaperSettings(path(), newPaperSettings(u" 期中 "_s)));
    QCOMPARE(
        readBytes(path()),
        QStringLiteral(
            "[MAIN]\r\nTESTTIME=30\r\nEXERCISEMODE=0\r\nRETESTPASSWD=358\r\nRELOGINPASSWD=469\r\n"
            "DISPLAY_SCORE=1\r\nCHANGE_QUESTION_SORT=1\r\nA_grade=90\r\nB_grade=80\r\nC_grade="
            "70\r\n"
            "D_grade=60\r\nAuthor=\r\nabout_test=期中\r\nrnd_test=\r\nrnd_test_No=\r\n")
            .toUtf8()
            .replace("期中", QByteArray("\xC6\xDA\xD6\xD0")));
    const PaperData paper = loadPaper(path());
    QCOMPARE(paper.questionCount, qint16(0));
    QCOMPARE(totalMark(paper), qint16(0));
    // A key written empty is present: the client reads it empty, not with its default.
    QCOMPARE(readPaperSettings(ProfileSnapshot::load(path()), PaperReader::Client).randomDraw,
             QString());
}

void TestPaperProfile::settingsAndQuestionsShouldKeepEachOthersKeys()
{
    PaperData paper = paperWithMarks(5, {QString()});
    paper.fullMark = 5;
    QVERIFY(savePaper(path(), paper));
    PaperSettings settings = newPaperSettings(u"p"_s);
    settings.questionCount = u"99"_s; // never written by the settings writer
    QVERIFY(writePaperSettings(path(), settings));
    QVERIFY(savePaper(path(), paper));
    const PaperSettings read =
        readPaperSettings(ProfileSnapshot::load(path()), PaperReader::Console);
    QCOMPARE(read.questionCount, u"1"_s);
    QCOMPARE(read.testTime, u"30"_s);
    QCOMPARE(read.fullMark, u"5"_s);
}

void TestPaperProfile::loadShouldReadWhatSaveWrote()
{
    PaperData paper = paperWithMarks(4, {QString(), u"10"_s, u" "_s});
    paper.question(1) = {u"11.RTF"_s, u"12.RTF"_s, u"124"_s, QString()};
    paper.question(2).questionFile = u"21.RTF"_s;
    paper.fullMark = totalMark(paper);
    QCOMPARE(paper.fullMark, qint16(18));
    QVERIFY(savePaper(path(), paper));
    const QByteArray bytes = readBytes(path());
    QVERIFY(bytes.startsWith(
        "[MAIN]\r\nQuestion_conut= 3\r\nfull_mark= 18\r\nMark= 4\r\n[1]\r\nQUESTION=11.RTF\r\n"
        "explain=12.RTF\r\nanswer=124\r\nmark=\r\n[2]\r\n"));
    QVERIFY(bytes.contains("[3]\r\nQUESTION=\r\nexplain=\r\nanswer=\r\nmark= \r\n"));
    PaperData expected = paper;
    expected.fullMark = 0;                 // not read: the editor recomputes it
    expected.question(3).mark = QString(); // values are read trimmed
    QCOMPARE(loadPaper(path()), expected);
}

void TestPaperProfile::loadShouldFindKeysInAnyCase()
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[main]\r\nquestion_CONUT=1\r\nMARK=3\r\n[1]\r\nquestion=a.rtf\r\nEXPLAIN=b."
               "rtf\r\nAnswer=13\r\nMark=2\r\n");
    file.close();
    const PaperData paper = loadPaper(path());
    QCOMPARE(paper.defaultMark, qint16(3));
    QCOMPARE(paper.question(1), (PaperQuestion{u"a.rtf"_s, u"b.rtf"_s, u"13"_s, u"2"_s}));
}

void TestPaperProfile::loadShouldTreatNegativeCountAsNoQuestions()
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[MAIN]\r\nQuestion_conut=-7\r\n");
    file.close();
    const PaperData paper = loadPaper(path());
    QCOMPARE(paper.questionCount, qint16(0));
    QCOMPARE(paper.questions.size(), 2);
}

void TestPaperProfile::totalMarkRule_data()
{
    QTest::addColumn<int>("defaultMark");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<int>("expected");

    QTest::newRow("blank mark takes the default") << 5 << QStringList{u" "_s, u"3"_s} << 8;
    QTest::newRow("mark 0 is worth 0") << 5 << QStringList{u"0"_s, u"0"_s} << 0;
    QTest::newRow("halves round step by step") << 0 << QStringList{u"2.5"_s, u"2.5"_s} << 4;
    QTest::newRow("one and a half adds two each time")
        << 0 << QStringList{u"1.5"_s, u"1.5"_s, u"1.5"_s} << 6;
    QTest::newRow("text mark counts 0") << 5 << QStringList{u"abc"_s} << 0;
    QTest::newRow("negative mark") << 0 << QStringList{u"-3"_s, u"5"_s} << 2;
    QTest::newRow("no questions") << 7 << QStringList() << 0;
    QTest::newRow("sum beyond 16 bits clamps") << 0 << QStringList(400, u"100"_s) << 32767;
    QTest::newRow("sum passing beyond 16 bits and back")
        << 0 << QStringList{u"30000"_s, u"30000"_s, u"-30000"_s} << 30000;
}

void TestPaperProfile::totalMarkRule()
{
    QFETCH(int, defaultMark);
    QFETCH(QStringList, marks);
    QFETCH(int, expected);
    QCOMPARE(int(exam::totalMark(paperWithMarks(qint16(defaultMark), marks))), expected);
}

void TestPaperProfile::questionMarkShouldCutAtNul()
{
    QCOMPARE(questionMark(QString(QChar(0)) + u"7"_s, 3), 3.0);
    QCOMPARE(questionMark(u"2.5"_s, 3), 2.5);
}

void TestPaperProfile::newDocumentNameShouldFollowTheFormula_data()
{
    QTest::addColumn<double>("u");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lowest") << 0.0 << u"1.RTF"_s;
    QTest::newRow("middle") << 0.5 << u"50000001.RTF"_s;
    QTest::newRow("highest") << std::nextafter(1.0, 0.0) << u"100000000.RTF"_s;
    QTest::newRow("out of range clamps") << 7.0 << u"100000000.RTF"_s;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << u"1.RTF"_s;
}

void TestPaperProfile::newDocumentNameShouldFollowTheFormula()
{
    QFETCH(double, u);
    QFETCH(QString, expected);
    ScriptedRandom random({u});
    QCOMPARE(newDocumentName(m_dir->path(), u" RTF "_s, random), expected);
}

void TestPaperProfile::newDocumentNameShouldSkipTakenNamesInAnyCase()
{
    QFile taken(m_dir->filePath(u"50000001.rtf"_s));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    ScriptedRandom random({0.5, 0.5, 0.25});
    QCOMPARE(newDocumentName(m_dir->path(), u"RTF"_s, random), u"25000001.RTF"_s);
    QCOMPARE(random.draws, 3);
}

void TestPaperProfile::newDocumentNameShouldGiveUpOnBrokenSource()
{
    QFile taken(m_dir->filePath(u"1.RTF"_s));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    ScriptedRandom random({0.0});
    QCOMPARE(newDocumentName(m_dir->path(), u"RTF"_s, random), QString());
}

void TestPaperProfile::namerShouldNeverRepeatANameNorTakeOneWithATemporary()
{
    // A cut store of 25000001.rtf left its temporary.
    QFile temporary(m_dir->filePath(u"25000001.rtf.a1B2c3"_s));
    QVERIFY(temporary.open(QIODevice::WriteOnly));
    DocumentNamer namer(m_dir->path());
    ScriptedRandom random({0.5, 0.5, 0.25, 0.75});
    QCOMPARE(namer.next(u"RTF"_s, random), u"50000001.RTF"_s);
    // Nothing was stored under the first name, yet it is not handed out again.
    QCOMPARE(namer.next(u"RTF"_s, random), u"75000001.RTF"_s);
    QCOMPARE(random.draws, 4);
}

QTEST_GUILESS_MAIN(TestPaperProfile)
#include "tst_paper_profile.moc"
