#include "repository/system_profile.h"

#include "repository/profile_values.h"

namespace exam {
namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

const QString Zero = QStringLiteral("0");

} // namespace

bool PaperEntry::isOpen() const
{
    return profileFlag(openFlag);
}

bool PaperEntry::isReviewable() const
{
    return profileFlag(reviewFlag);
}

QList<ClassEntry> readClassTable(const ProfileSnapshot &systemProfile)
{
    using namespace SystemKeys;
    QList<ClassEntry> classes;
    const QStringList names =
        readNumberedList(systemProfile, key(ClassSection), key(ClassCountKey));
    classes.reserve(names.size());
    for (const QString &name : names) {
        ClassEntry entry;
        entry.name = name;
        entry.size = profileNumber(systemProfile.value(key(ClassSizeSection), name, Zero));
        entry.first = profileNumber(systemProfile.value(key(FirstNumberSection), name, Zero));
        entry.last = profileNumber(systemProfile.value(key(LastNumberSection), name, Zero));
        classes.append(entry);
    }
    return classes;
}

Result writeClassTable(const QString &systemProfilePath, const QList<ClassEntry> &classes)
{
    using namespace SystemKeys;
    ProfileBatch batch(systemProfilePath);
    batch.set(key(ClassSection), key(ClassCountKey), QString::number(classes.size()));
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const ClassEntry &entry = classes.at(i);
        const QString name = trimBlanks(entry.name);
        batch.set(key(ClassSection), QString::number(i + 1), name);
        batch.set(key(ClassSizeSection), name, QString::number(entry.size));
        batch.set(key(FirstNumberSection), name, QString::number(entry.first));
        batch.set(key(LastNumberSection), name, QString::number(entry.last));
    }
    return batch.store();
}

QList<PaperEntry> readPaperRoster(const ProfileSnapshot &systemProfile,
                                  const QString &reviewDefault)
{
    using namespace SystemKeys;
    QList<PaperEntry> papers;
    const QStringList names =
        readNumberedList(systemProfile, key(PaperSection), key(PaperCountKey));
    papers.reserve(names.size());
    for (const QString &name : names) {
        PaperEntry entry;
        entry.name = name;
        entry.openFlag = trimBlanks(systemProfile.value(key(PaperSection), name, Zero));
        entry.reviewFlag = trimBlanks(systemProfile.value(key(ReviewSection), name, reviewDefault));
        papers.append(entry);
    }
    return papers;
}

Result writePaperRoster(const QString &systemProfilePath, const QList<PaperEntry> &papers)
{
    using namespace SystemKeys;
    ProfileBatch batch(systemProfilePath);
    batch.set(key(PaperSection), key(PaperCountKey), QString::number(papers.size()));
    for (qsizetype i = 0; i < papers.size(); ++i) {
        const QString name = trimBlanks(papers.at(i).name);
        batch.set(key(PaperSection), QString::number(i + 1), name);
        batch.set(key(PaperSection), name, trimBlanks(papers.at(i).openFlag));
    }
    for (const PaperEntry &paper : papers)
        batch.set(key(ReviewSection), trimBlanks(paper.name), trimBlanks(paper.reviewFlag));
    return batch.store();
}

bool isAdmitted(const ProfileSnapshot &systemProfile, const QString &paper,
                const QString &className, AdmissionReader reader)
{
    const QString missing =
        reader == AdmissionReader::ClientAtStartup ? QStringLiteral("0") : QStringLiteral("1");
    return profileFlag(systemProfile.value(trimBlanks(paper), trimBlanks(className), missing));
}

Result writeExamRooms(const QString &systemProfilePath, const QList<ExamRoomPaper> &papers,
                      const QStringList &classNames)
{
    using namespace SystemKeys;
    ProfileBatch batch(systemProfilePath);
    for (const ExamRoomPaper &paper : papers) {
        const QString name = trimBlanks(paper.name);
        batch.set(key(PaperSection), name, flagText(paper.open));
        for (qsizetype c = 0; c < classNames.size(); ++c)
            batch.set(name, trimBlanks(classNames.at(c)),
                      flagText(c < paper.admitted.size() && paper.admitted.at(c)));
    }
    return batch.store();
}

QString readAdminPassword(const ProfileSnapshot &systemProfile)
{
    using namespace SystemKeys;
    return trimBlanks(systemProfile.value(key(AdminSection), key(PasswordKey), QString()));
}

Result writeAdminPassword(const QString &systemProfilePath, const QString &password)
{
    using namespace SystemKeys;
    ProfileBatch batch(systemProfilePath);
    batch.set(key(AdminSection), key(PasswordKey), trimBlanks(password));
    return batch.store();
}

} // namespace exam
