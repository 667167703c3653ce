#include "repository/paper_profile.h"

#include "repository/leftover_temporaries.h"
#include "repository/profile_values.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace exam {
namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

QString mainValue(const ProfileSnapshot &profile, const char *name, const QString &defaultValue)
{
    return trimBlanks(profile.value(key(PaperKeys::MainSection), key(name), defaultValue));
}

QString cutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// Draws beyond this many mean the source or the folder is broken, not that the folder is full.
constexpr int MaxNameDraws = 10000;
constexpr qint64 DocumentNumberRange = 100000000;

} // namespace

bool PaperSettings::isExerciseMode() const
{
    return profileFlag(exerciseMode);
}

bool PaperSettings::showsScore() const
{
    return profileFlag(displayScore);
}

bool PaperSettings::shufflesQuestions() const
{
    return profileFlag(changeQuestionSort);
}

bool PaperSettings::drawsAtRandom() const
{
    return profileNumber(randomDraw) != 0;
}

PaperSettings readPaperSettings(const ProfileSnapshot &paperProfile, PaperReader reader)
{
    using namespace PaperKeys;
    const QString zero = QStringLiteral("0");
    const bool client = reader == PaperReader::Client;
    PaperSettings s;
    s.testTime = mainValue(paperProfile, TestTime, zero);
    s.exerciseMode = mainValue(paperProfile, ExerciseMode, zero);
    s.retestPassword = mainValue(paperProfile, RetestPassword, client ? QString() : zero);
    s.reloginPassword = mainValue(paperProfile, ReloginPassword, client ? QString() : zero);
    s.displayScore = mainValue(paperProfile, DisplayScore, zero);
    s.changeQuestionSort =
        mainValue(paperProfile, ChangeQuestionSort, client ? QStringLiteral("1") : zero);
    s.aGrade = mainValue(paperProfile, AGrade, zero);
    s.bGrade = mainValue(paperProfile, BGrade, zero);
    s.cGrade = mainValue(paperProfile, CGrade, zero);
    s.dGrade = mainValue(paperProfile, DGrade, zero);
    s.author = mainValue(paperProfile, Author, zero);
    s.aboutTest = mainValue(paperProfile, AboutTest, zero);
    s.randomDraw = mainValue(paperProfile, RandomDraw, zero);
    s.randomDrawCount = mainValue(paperProfile, RandomDrawCount, zero);
    s.questionCount = mainValue(paperProfile, QuestionCount, zero);
    s.defaultMark = mainValue(paperProfile, DefaultMark, zero);
    s.fullMark = mainValue(paperProfile, FullMark, zero);
    return s;
}

PaperSettings newPaperSettings(const QString &paperName)
{
    PaperSettings s;
    s.testTime = QStringLiteral("30");
    s.exerciseMode = QStringLiteral("0");
    s.retestPassword = QStringLiteral("358");
    s.reloginPassword = QStringLiteral("469");
    s.displayScore = QStringLiteral("1");
    s.changeQuestionSort = QStringLiteral("1");
    s.aGrade = QStringLiteral("90");
    s.bGrade = QStringLiteral("80");
    s.cGrade = QStringLiteral("70");
    s.dGrade = QStringLiteral("60");
    s.defaultMark = QStringLiteral("5");
    s.aboutTest = trimBlanks(paperName);
    return s;
}

namespace {

void putSettings(ProfileBatch &batch, const PaperSettings &s)
{
    using namespace PaperKeys;
    const QString main = key(MainSection);
    const auto put = [&](const char *name, const QString &value) {
        batch.set(main, key(name), trimBlanks(value));
    };
    put(TestTime, s.testTime);
    put(ExerciseMode, s.exerciseMode);
    put(RetestPassword, s.retestPassword);
    put(ReloginPassword, s.reloginPassword);
    put(DisplayScore, s.displayScore);
    put(ChangeQuestionSort, s.changeQuestionSort);
    put(AGrade, s.aGrade);
    put(BGrade, s.bGrade);
    put(CGrade, s.cGrade);
    put(DGrade, s.dGrade);
    put(Author, s.author);
    put(AboutTest, s.aboutTest);
    put(RandomDraw, s.randomDraw);
    put(RandomDrawCount, s.randomDrawCount);
}

} // namespace

Result writePaperSettings(const QString &paperProfilePath, const PaperSettings &s)
{
    ProfileBatch batch(paperProfilePath);
    putSettings(batch, s);
    return batch.store();
}

Result writeNewPaperSettings(const QString &paperProfilePath, const PaperSettings &s)
{
    using namespace PaperKeys;
    ProfileBatch batch(paperProfilePath);
    putSettings(batch, s);
    batch.set(key(MainSection), key(DefaultMark),
              blankSignedNumberText(profileNumber(s.defaultMark)));
    return batch.store();
}

PaperData loadPaper(const ProfileSnapshot &paperProfile)
{
    using namespace PaperKeys;
    const QString zero = QStringLiteral("0");
    PaperData paper;
    paper.questionCount =
        std::max<qint16>(0, profileNumber(mainValue(paperProfile, QuestionCount, zero)));
    paper.defaultMark = profileNumber(mainValue(paperProfile, DefaultMark, zero));
    paper.questions = QList<PaperQuestion>(paper.questionCount + 2);
    for (int k = 1; k <= paper.questionCount; ++k) {
        const QString section = QString::number(k);
        PaperQuestion &q = paper.questions[k];
        q.questionFile = trimBlanks(paperProfile.value(section, key(Question)));
        q.explainFile = trimBlanks(paperProfile.value(section, key(Explain)));
        q.answer = trimBlanks(paperProfile.value(section, key(Answer)));
        q.mark = trimBlanks(paperProfile.value(section, key(Mark)));
    }
    return paper;
}

PaperData loadPaper(const QString &paperProfilePath)
{
    return loadPaper(ProfileSnapshot::load(paperProfilePath));
}

Result savePaper(const QString &paperProfilePath, const PaperData &paper)
{
    using namespace PaperKeys;
    ProfileBatch batch(paperProfilePath);
    const QString main = key(MainSection);
    batch.set(main, key(QuestionCount), blankSignedNumberText(paper.questionCount));
    batch.set(main, key(FullMark), blankSignedNumberText(paper.fullMark));
    batch.set(main, key(DefaultMark), blankSignedNumberText(paper.defaultMark));
    for (int k = 1; k <= paper.questionCount; ++k) {
        const PaperQuestion q =
            k < paper.questions.size() ? paper.questions.at(k) : PaperQuestion();
        const QString section = QString::number(k);
        batch.set(section, key(Question), q.questionFile);
        batch.set(section, key(Explain), q.explainFile);
        batch.set(section, key(Answer), q.answer);
        batch.set(section, key(Mark), q.mark);
    }
    return batch.store();
}

double questionMark(const QString &markText, qint16 defaultMark)
{
    const QString mark = trimBlanks(cutAtNul(markText));
    return mark.isEmpty() ? double(defaultMark) : leadingNumber(mark);
}

qint16 totalMark(const PaperData &paper)
{
    qint64 total = 0;
    for (int k = 1; k <= paper.questionCount && k < paper.questions.size(); ++k)
        total = roundHalfEven(double(total) +
                              questionMark(paper.questions.at(k).mark, paper.defaultMark));
    return static_cast<qint16>(std::clamp<qint64>(total, -32768, 32767));
}

QString newDocumentName(const QString &folder, const QString &extension, RandomSource &random)
{
    return DocumentNamer(folder).next(extension, random);
}

DocumentNamer::DocumentNamer(const QString &folder) : DocumentNamer(QStringList{folder}) {}

DocumentNamer::DocumentNamer(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            m_taken.insert(name.toCaseFolded());
            // A temporary is "<file>.XXXXXX".
            if (isLeftoverTemporary(name))
                m_taken.insert(name.left(name.lastIndexOf(u'.')).toCaseFolded());
        }
    }
}

QString DocumentNamer::next(const QString &extension, RandomSource &random)
{
    const QString suffix = QLatin1Char('.') + trimBlanks(extension);
    for (int draw = 0; draw < MaxNameDraws; ++draw) {
        const double drawn = random.uniform();
        const double u = std::isfinite(drawn) ? std::clamp(drawn, 0.0, 1.0) : 0.0;
        const qint64 n = std::clamp<qint64>(qint64(std::floor(u * double(DocumentNumberRange) + 1)),
                                            1, DocumentNumberRange);
        const QString name = QString::number(n) + suffix;
        if (!m_taken.contains(name.toCaseFolded())) {
            m_taken.insert(name.toCaseFolded());
            return name;
        }
    }
    return QString();
}

} // namespace exam
