#pragma once

// The result profile CHENGJI/<paper>/<class><number>.cho of one student's attempt at one paper.
// One section, named after the class; every key starts with the examination number.
//
// The client's write groups (login, progress save, hand-in) are each one atomic store and return
// a failure (with a Chinese text) when nothing was stored.

#include "repository/clock.h"
#include "repository/profile_file.h"

#include <QList>
#include <QString>

namespace exam {

namespace ResultKeys {
QString name(const QString &number);                 // <number>
QString formerName(const QString &number);           // <number>LAST
QString startStamp(const QString &number);           // <number>TIME1
QString remainingTime(const QString &number);        // <number>TIME
QString position(const QString &number);             // <number>DangQian
QString answer(const QString &number, int question); // <number>DA<i>
QString order(const QString &number, int position);  // <number>SX<i>
QString handInTime(const QString &number);           // <number>TIME2
QString score(const QString &number);                // <number>DF

// answer() for one student's questions in turn, built in one string that is reused: reading a
// student's hundred answers makes no string per key.
class AnswerKeys
{
public:
    explicit AnswerKeys(const QString &number);
    const QString &operator()(int question);

private:
    QString m_key;
    qsizetype m_prefixLength;
};
} // namespace ResultKeys

enum class AttemptState { NotStarted, Interrupted, Finished };

// not started: no TIME1; interrupted: TIME1 and TIME2 missing or empty; finished: TIME2 not empty.
AttemptState attemptState(const ProfileSnapshot &resultProfile, const QString &className,
                          const QString &number);

// The TIME1 form: "YYYY,MM,DD  hh:mm:ss".
QString startStampText(const QDateTime &time);

// Login: <number> and <number>LAST (both trimmed).
Result storeLogin(const QString &resultProfilePath, const QString &className, const QString &number,
                  const QString &studentName, const QString &formerName);

// Fresh exam start: <number>TIME1 from the clock.
Result storeStartStamp(const QString &resultProfilePath, const QString &className,
                       const QString &number, const Clock &clock);

// The progress saved at exam start and every 60 seconds.
struct ProgressSave
{
    QString remainingTime;   // TIME, the clock's text
    int currentPosition = 1; // DangQian, 1-based
    QList<double> answers;   // DA1 … DAn, n = the paper's question count; digit form, 0 = none
    QList<int> order;        // SX1 … SXm, m = the presented count
};
Result storeProgress(const QString &resultProfilePath, const QString &className,
                     const QString &number, const ProgressSave &progress);

// Hand-in: TIME2 (trimmed), DA1 … DAn, DF.
struct HandIn
{
    QString remainingTime;
    QList<double> answers;
    qint64 score = 0;
};
Result storeHandIn(const QString &resultProfilePath, const QString &className,
                   const QString &number, const HandIn &handIn);

// The console's grant of a retest: <number>TIME2 written empty.
Result storeRetestGrant(const QString &resultProfilePath, const QString &className,
                        const QString &number);

// The console's deletion of a result: the profile is moved into `deletedFolder` (created when
// missing) as "<file name>_<yyyyMMdd-hhmmss>[-n].cho", so the student counts as not started while
// the teacher can still bring the file back. A failure (with a Chinese text) when the file
// stayed where it was; a missing profile is nothing to delete and counts as done.
Result moveToDeletedResults(const QString &resultProfilePath, const QString &deletedFolder,
                            const QDateTime &when);

// One student as the console reads him (all texts trimmed; missing keys read as "").
struct StudentResult
{
    bool fileExists = false;
    AttemptState state = AttemptState::NotStarted;
    QString name;
    QString formerName;
    QString startStamp;
    QString handInTime;
    QString score; // "-1" when the key is missing; present but empty counts as 0
    // DA1 … DAn in digit form, rounded half to even ("" and missing give 0). Wider than 16 bits:
    // an answer of five or more options exceeds 32767.
    QList<qint64> answers;

    bool hasScore() const;     // the DF key was present
    qint16 scoreValue() const; // -1 when there is no score
};
StudentResult readStudentResult(const ProfileSnapshot &resultProfile, const QString &className,
                                const QString &number, int questionCount);
StudentResult readStudentResult(const QString &resultProfilePath, const QString &className,
                                const QString &number, int questionCount);

} // namespace exam
