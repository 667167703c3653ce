#include "candidate/hand_in_check.h"

#include "repository/profile_file.h"
#include "repository/profile_values.h"

namespace exam::candidate {

bool handInIsStored(const QString &resultProfilePath, const QString &className,
                    const QString &number, const exam::HandIn &handIn)
{
    using namespace exam;
    const ProfileSnapshot stored = ProfileSnapshot::load(resultProfilePath);
    if (!stored.exists())
        return false;
    const QString finished = stored.value(className, ResultKeys::handInTime(number));
    if (finished.isEmpty() || finished != trimBlanks(handIn.remainingTime))
        return false;
    if (!stored.contains(className, ResultKeys::score(number)) ||
        leadingNumber(stored.value(className, ResultKeys::score(number))) !=
            static_cast<double>(handIn.score))
        return false;
    for (qsizetype i = 0; i < handIn.answers.size(); ++i) {
        const QString key = ResultKeys::answer(number, static_cast<int>(i + 1));
        if (!stored.contains(className, key) ||
            leadingNumber(stored.value(className, key)) != handIn.answers.at(i))
            return false;
    }
    return true;
}

} // namespace exam::candidate
