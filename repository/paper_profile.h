#pragma once

// The paper profile SHIJUAN/<paper>/<paper>.cho: section MAIN with the paper's settings, and one
// section per question ("1", "2", …) naming its two RTF documents, its standard answer and mark.
//
// Ownership of MAIN is split: the settings writer (paper management) never writes Question_conut or
// full_mark, and Mark only once, when it creates the paper; savePaper() (the editor) writes exactly
// those three and the question sections.

#include "repository/profile_file.h"
#include "repository/random_source.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

namespace exam {

namespace PaperKeys {
inline constexpr auto MainSection = "MAIN";
inline constexpr auto TestTime = "TESTTIME";
inline constexpr auto FullMark = "full_mark";
inline constexpr auto ExerciseMode = "EXERCISEMODE";
inline constexpr auto RetestPassword = "RETESTPASSWD";
inline constexpr auto ReloginPassword = "RELOGINPASSWD";
inline constexpr auto DisplayScore = "DISPLAY_SCORE";
inline constexpr auto ChangeQuestionSort = "CHANGE_QUESTION_SORT";
inline constexpr auto AGrade = "A_grade";
inline constexpr auto BGrade = "B_grade";
inline constexpr auto CGrade = "C_grade";
inline constexpr auto DGrade = "D_grade";
inline constexpr auto QuestionCount = "Question_conut"; // spelled so in every repository
inline constexpr auto Author = "Author";
inline constexpr auto DefaultMark = "Mark";
inline constexpr auto AboutTest = "about_test";
inline constexpr auto RandomDraw = "rnd_test";
inline constexpr auto RandomDrawCount = "rnd_test_No";
inline constexpr auto Question = "QUESTION";
inline constexpr auto Explain = "explain";
inline constexpr auto Answer = "answer";
inline constexpr auto Mark = "mark";
} // namespace PaperKeys

// Console and client read missing settings differently.
enum class PaperReader { Console, Client };

// The settings of MAIN as trimmed texts, as a reader sees them.
struct PaperSettings
{
    QString testTime;           // minutes
    QString exerciseMode;       // "1"/"0"
    QString retestPassword;     // empty = no retest
    QString reloginPassword;    // empty = no second login
    QString displayScore;       // "1"/"0"
    QString changeQuestionSort; // "1"/"0"
    QString aGrade, bGrade, cGrade, dGrade;
    QString author;
    QString aboutTest;
    QString randomDraw;      // "1", "0" or empty
    QString randomDrawCount; // number or empty
    // Written only by savePaper(); read here for display.
    QString questionCount;
    QString defaultMark;
    QString fullMark;

    bool isExerciseMode() const;
    bool showsScore() const;
    bool shufflesQuestions() const;
    bool drawsAtRandom() const; // rnd_test is not 0
    friend bool operator==(const PaperSettings &, const PaperSettings &) = default;
};

// Reads MAIN with the reader's defaults: the console reads every missing key as "0"; the client as
// "0" too, except both passwords (empty) and CHANGE_QUESTION_SORT ("1").
PaperSettings readPaperSettings(const ProfileSnapshot &paperProfile, PaperReader reader);
// What paper management stores for a new paper named `paperName`: 30 minutes, no practice,
// passwords 358 and 469, score shown, random order, grades 90/80/70/60, default mark 5, the
// instructions its (trimmed) name.
PaperSettings newPaperSettings(const QString &paperName);
// Writes TESTTIME, EXERCISEMODE, RETESTPASSWD, RELOGINPASSWD, DISPLAY_SCORE, CHANGE_QUESTION_SORT,
// A_grade … D_grade, Author, about_test, rnd_test, rnd_test_No (each trimmed) as one store.
Result writePaperSettings(const QString &paperProfilePath, const PaperSettings &settings);
// The same for a paper just created, plus Mark (" 5" form) from settings.defaultMark in the same
// store: the editor then starts from the default mark paper management showed for the new paper.
Result writeNewPaperSettings(const QString &paperProfilePath, const PaperSettings &settings);

struct PaperQuestion
{
    QString questionFile; // QUESTION
    QString explainFile;  // explain
    QString answer;       // standard answer in digit form, e.g. "124"; empty = none
    QString mark;         // own mark; empty = the paper's default mark
    friend bool operator==(const PaperQuestion &, const PaperQuestion &) = default;
};

// The console's record of one paper's questions. `questions` holds rows 0 … questionCount + 1;
// row k is question k, rows 0 and questionCount + 1 are spare rows the editor works with.
struct PaperData
{
    qint16 questionCount = 0;
    qint16 defaultMark = 0;
    qint16 fullMark = 0;
    QList<PaperQuestion> questions = QList<PaperQuestion>(2);

    PaperQuestion &question(int k) { return questions[k]; }
    const PaperQuestion &question(int k) const { return questions.at(k); }
    friend bool operator==(const PaperData &, const PaperData &) = default;
};

// Reads Question_conut and Mark and the question sections (values trimmed). full_mark is not read:
// the editor recomputes it. A negative question count reads as 0 questions.
PaperData loadPaper(const ProfileSnapshot &paperProfile);
PaperData loadPaper(const QString &paperProfilePath);
// Writes Question_conut, full_mark, Mark (" 25" form), then QUESTION, explain, answer, mark of
// every question, values as held, as one store.
Result savePaper(const QString &paperProfilePath, const PaperData &paper);

// The mark of one question: the numeric value of its own mark (cut at a NUL) when that text,
// trimmed, is not empty, else the default. Fractions stay; adding them up rounds (see totalMark).
double questionMark(const QString &markText, qint16 defaultMark);
// The paper's total: t := 0, then per question 1 … questionCount t := t + its mark, rounded half to
// even after every addition. Added up in wide numbers, clamped to the 16-bit range at the end.
qint16 totalMark(const PaperData &paper);

// A free file name "<n>.<extension>" in `folder`, n drawn uniformly from 1 … 100000000, compared
// with the folder's files ignoring case. Returns an empty text when no free name was drawn after
// many attempts (a broken source or an unreadable folder).
QString newDocumentName(const QString &folder, const QString &extension, RandomSource &random);

// New document names for many files of one folder, which is listed once (an import of a thousand
// questions would otherwise list a growing folder two thousand times). A name handed out counts as
// taken from then on, and so does every file that a cut store left a temporary of, so nothing is
// left to clean up beside a file stored under a handed-out name. Given several folders, a name is
// free when it is free in each of them.
class DocumentNamer
{
public:
    explicit DocumentNamer(const QString &folder);
    explicit DocumentNamer(const QStringList &folders);
    // As newDocumentName().
    QString next(const QString &extension, RandomSource &random);

private:
    QSet<QString> m_taken; // case-folded
};

} // namespace exam
