#include "proctor/shell/console_password.h"

#include "repository/profile_values.h"

namespace exam {

bool loginRequired(const QString &storedPassword)
{
    return !trimBlanks(storedPassword).isEmpty();
}

bool passwordMatches(const QString &typed, const QString &storedPassword)
{
    return trimBlanks(typed) == trimBlanks(storedPassword);
}

PasswordChange checkPasswordChange(const QString &oldPassword, const QString &newPassword,
                                   const QString &repetition, const QString &storedPassword)
{
    if (!passwordMatches(oldPassword, storedPassword))
        return {PasswordChange::Outcome::WrongOldPassword, {}};
    const QString wanted = trimBlanks(newPassword);
    if (trimBlanks(repetition) != wanted)
        return {PasswordChange::Outcome::RepetitionDiffers, {}};
    return {PasswordChange::Outcome::Accepted, wanted};
}

} // namespace exam
