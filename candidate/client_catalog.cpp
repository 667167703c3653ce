#include "candidate/client_catalog.h"

#include "repository/profile_file.h"
#include "repository/profile_values.h"

namespace exam::candidate {

namespace {

int readNumber(const exam::ProfileSnapshot &profile, const char *section, const QString &key)
{
    return exam::profileNumber(profile.value(QLatin1String(section), key, QStringLiteral("0")));
}

} // namespace

QStringList listedPapers(const exam::ProfileSnapshot &systemProfile)
{
    QStringList papers;
    for (const exam::PaperEntry &paper : exam::readPaperRoster(systemProfile)) {
        if (!paper.name.isEmpty() && (paper.isOpen() || paper.isReviewable()))
            papers << paper.name;
    }
    return papers;
}

PaperFlags paperFlags(const exam::ProfileSnapshot &systemProfile, const QString &paper)
{
    return {readNumber(systemProfile, exam::SystemKeys::PaperSection, paper),
            readNumber(systemProfile, exam::SystemKeys::ReviewSection, paper)};
}

QStringList admittedClasses(const exam::ProfileSnapshot &systemProfile, const QString &paper,
                            exam::AdmissionReader reader)
{
    QStringList classes;
    for (const exam::ClassEntry &entry : exam::readClassTable(systemProfile)) {
        if (!entry.name.isEmpty() && exam::isAdmitted(systemProfile, paper, entry.name, reader))
            classes << entry.name;
    }
    return classes;
}

int classCount(const exam::ProfileSnapshot &systemProfile)
{
    return readNumber(systemProfile, exam::SystemKeys::ClassSection,
                      QLatin1String(exam::SystemKeys::ClassCountKey));
}

} // namespace exam::candidate
