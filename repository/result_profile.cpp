#include "repository/result_profile.h"

#include "repository/profile_lock.h"

#include "repository/profile_values.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <cmath>
#include <iterator>

namespace exam {

namespace ResultKeys {

namespace {
QString tagged(const QString &number, const char *tag)
{
    return trimBlanks(number) + QLatin1String(tag);
}
} // namespace

QString name(const QString &number)
{
    return trimBlanks(number);
}

QString formerName(const QString &number)
{
    return tagged(number, "LAST");
}

QString startStamp(const QString &number)
{
    return tagged(number, "TIME1");
}

QString remainingTime(const QString &number)
{
    return tagged(number, "TIME");
}

QString position(const QString &number)
{
    return tagged(number, "DangQian");
}

QString answer(const QString &number, int question)
{
    return tagged(number, "DA") + QString::number(question);
}

AnswerKeys::AnswerKeys(const QString &number) : m_key(tagged(number, "DA"))
{
    m_prefixLength = m_key.size();
}

const QString &AnswerKeys::operator()(int question)
{
    char digits[16];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), question).ptr;
    m_key.truncate(m_prefixLength);
    m_key.append(QLatin1StringView(digits, end - digits));
    return m_key;
}

QString order(const QString &number, int position)
{
    return tagged(number, "SX") + QString::number(position);
}

QString handInTime(const QString &number)
{
    return tagged(number, "TIME2");
}

QString score(const QString &number)
{
    return tagged(number, "DF");
}

} // namespace ResultKeys

namespace {

const QString NoScore = QStringLiteral("-1");

QString section(const QString &className)
{
    return trimBlanks(className);
}

void setAnswers(ProfileBatch &batch, const QString &className, const QString &number,
                const QList<double> &answers)
{
    for (qsizetype i = 0; i < answers.size(); ++i)
        batch.set(section(className), ResultKeys::answer(number, int(i + 1)),
                  shortestNumberText(answers.at(i)));
}

} // namespace

namespace {

AttemptState attemptStateOf(const QString &handInTime, const QString &startStamp)
{
    if (!handInTime.isEmpty())
        return AttemptState::Finished;
    if (!startStamp.isEmpty())
        return AttemptState::Interrupted;
    return AttemptState::NotStarted;
}

} // namespace

AttemptState attemptState(const ProfileSnapshot &resultProfile, const QString &className,
                          const QString &number)
{
    const ProfileSnapshot::Section cls = resultProfile.section(section(className));
    return attemptStateOf(cls.value(ResultKeys::handInTime(number)),
                          cls.value(ResultKeys::startStamp(number)));
}

QString startStampText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy,MM,dd  HH:mm:ss"));
}

Result storeLogin(const QString &resultProfilePath, const QString &className, const QString &number,
                  const QString &studentName, const QString &formerName)
{
    ProfileBatch batch(resultProfilePath);
    batch.set(section(className), ResultKeys::name(number), trimBlanks(studentName));
    batch.set(section(className), ResultKeys::formerName(number), trimBlanks(formerName));
    return batch.store();
}

Result storeStartStamp(const QString &resultProfilePath, const QString &className,
                       const QString &number, const Clock &clock)
{
    ProfileBatch batch(resultProfilePath);
    batch.set(section(className), ResultKeys::startStamp(number), startStampText(clock.now()));
    return batch.store();
}

Result storeProgress(const QString &resultProfilePath, const QString &className,
                     const QString &number, const ProgressSave &progress)
{
    ProfileBatch batch(resultProfilePath);
    const QString cls = section(className);
    batch.set(cls, ResultKeys::remainingTime(number), progress.remainingTime);
    batch.set(cls, ResultKeys::position(number), QString::number(progress.currentPosition));
    setAnswers(batch, className, number, progress.answers);
    for (qsizetype i = 0; i < progress.order.size(); ++i)
        batch.set(cls, ResultKeys::order(number, int(i + 1)),
                  QString::number(progress.order.at(i)));
    return batch.store();
}

Result storeHandIn(const QString &resultProfilePath, const QString &className,
                   const QString &number, const HandIn &handIn)
{
    ProfileBatch batch(resultProfilePath);
    batch.set(section(className), ResultKeys::handInTime(number), trimBlanks(handIn.remainingTime));
    setAnswers(batch, className, number, handIn.answers);
    batch.set(section(className), ResultKeys::score(number), QString::number(handIn.score));
    return batch.store();
}

Result storeRetestGrant(const QString &resultProfilePath, const QString &className,
                        const QString &number)
{
    ProfileBatch batch(resultProfilePath);
    batch.set(section(className), ResultKeys::handInTime(number), QString());
    return batch.store();
}

Result moveToDeletedResults(const QString &resultProfilePath, const QString &deletedFolder,
                            const QDateTime &when)
{
    const QFileInfo profile(resultProfilePath);
    if (!profile.exists() && !profile.isSymLink())
        return {};
    if (Result made = ensureFolder(deletedFolder); !made)
        return made;
    // Under the file's update lock, so a save of the student under way finishes first.
    const ProfileLock lock = ProfileLock::acquire(resultProfilePath, StoreLockWait);
    if (!lock.mayWrite()) {
        return Result::failure(QStringLiteral("文件正由另一个程序保存,请稍后再试: %1")
                                   .arg(QDir::toNativeSeparators(resultProfilePath)));
    }
    const QString stem =
        profile.completeBaseName() + u'_' + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir folder(deletedFolder);
    QString target = folder.filePath(stem + profile.suffix().prepend(u'.'));
    // Two deletions of one student within a second (a client recreated the file) keep both.
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = folder.filePath(stem + QStringLiteral("-%1.").arg(n) + profile.suffix());
    if (QFile::rename(resultProfilePath, target))
        return {};
    return Result::failure(QStringLiteral("无法把 %1 移到 %2")
                               .arg(QDir::toNativeSeparators(resultProfilePath),
                                    QDir::toNativeSeparators(deletedFolder)));
}

bool StudentResult::hasScore() const
{
    return score != NoScore;
}

qint16 StudentResult::scoreValue() const
{
    return profileNumber(score);
}

StudentResult readStudentResult(const ProfileSnapshot &resultProfile, const QString &className,
                                const QString &number, int questionCount)
{
    // The class's section is found once for the student's hundred or so keys.
    const ProfileSnapshot::Section cls = resultProfile.section(section(className));
    StudentResult result;
    result.fileExists = resultProfile.exists();
    result.name = cls.value(ResultKeys::name(number));
    result.formerName = cls.value(ResultKeys::formerName(number));
    result.startStamp = cls.value(ResultKeys::startStamp(number));
    result.handInTime = cls.value(ResultKeys::handInTime(number));
    result.state = attemptStateOf(result.handInTime, result.startStamp);
    result.score = cls.value(ResultKeys::score(number), NoScore);
    result.answers.reserve(std::max(questionCount, 0));
    ResultKeys::AnswerKeys answer(number);
    for (int i = 1; i <= questionCount; ++i)
        result.answers.append(roundHalfEven(cls.leadingNumberOf(answer(i))));
    return result;
}

StudentResult readStudentResult(const QString &resultProfilePath, const QString &className,
                                const QString &number, int questionCount)
{
    return readStudentResult(ProfileSnapshot::load(resultProfilePath), className, number,
                             questionCount);
}

} // namespace exam
