#include "candidate/admission.h"

#include "candidate/login_rules.h"

#include "repository/paper_profile.h"
#include "repository/profile_file.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

namespace exam::candidate {

namespace {

AdmissionResult refuse(AdmissionResult result, const QString &message, bool focusNumber = false)
{
    result.admitted = false;
    result.message = message;
    result.focusNumber = focusNumber;
    return result;
}

int profileInt(const exam::ProfileSnapshot &profile, const char *section, const QString &key)
{
    return exam::profileNumber(profile.value(QLatin1String(section), key, QStringLiteral("0")));
}

} // namespace

QString studentResultProfile(const exam::RepositoryPaths &paths, const CandidateState &state)
{
    return paths.resultProfile(state.paperName, state.className, state.examNumber);
}

AdmissionResult checkAdmission(const exam::RepositoryPaths &paths, const LoginEntries &entries,
                               CandidateState &state)
{
    AdmissionResult result;

    state.paperName = entries.paper;
    if (exam::trimBlanks(state.paperName).isEmpty())
        return refuse(result, LoginTexts::ChoosePaper);

    state.className = exam::trimBlanks(entries.className);
    if (state.className.isEmpty())
        return refuse(result, LoginTexts::ChooseClass);

    result.normalizedNumber = normalizeExamNumber(entries.number);
    result.numberNormalized = true;
    state.examNumber = result.normalizedNumber;
    state.studentName = cleanTypedName(entries.name);
    state.formerName = cleanTypedName(entries.formerName);

    const exam::PaperSettings settings =
        exam::readPaperSettings(exam::ProfileSnapshot::load(paths.paperProfile(state.paperName)),
                                exam::PaperReader::Client);
    state.retestPassword = settings.retestPassword;
    state.reloginPassword = settings.reloginPassword;

    const auto system = exam::ProfileSnapshot::load(paths.systemProfile());
    state.firstNumber = profileInt(system, exam::SystemKeys::FirstNumberSection, state.className);
    state.lastNumber = profileInt(system, exam::SystemKeys::LastNumberSection, state.className);

    const double number = exam::leadingNumber(state.examNumber);
    if (number < state.firstNumber || number > state.lastNumber)
        return refuse(result, LoginTexts::WrongNumber, true);

    if (state.examNumber.isEmpty() || state.studentName.isEmpty())
        return refuse(result, LoginTexts::NumberAndNameMissing, true);

    const QString storedName =
        readProfileString(state.className, exam::ResultKeys::name(state.examNumber), QString(),
                          studentResultProfile(paths, state));
    if (!storedName.isEmpty() && storedName != state.studentName)
        return refuse(result, LoginTexts::NameMismatch);

    result.admitted = true;
    return result;
}

} // namespace exam::candidate
