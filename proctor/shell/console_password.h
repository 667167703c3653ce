#pragma once

// The administrator password rules of the console: when the login is asked for, when a typed
// password matches, and what the password window does with its three boxes.

#include <QString>

namespace exam {

inline const QString WrongPasswordMessage = QStringLiteral("您输入的密码有误,请重新输入！");

// A stored password of only blanks (or none) switches the login off.
bool loginRequired(const QString &storedPassword);

// Blanks at both ends do not count; letters must match exactly, case included.
bool passwordMatches(const QString &typed, const QString &storedPassword);

struct PasswordChange
{
    enum class Outcome {
        WrongOldPassword,  // clear the old-password box
        RepetitionDiffers, // clear the two new-password boxes
        Accepted,          // store newPassword
    };
    Outcome outcome = Outcome::WrongOldPassword;
    QString newPassword; // trimmed; set only when accepted
};

PasswordChange checkPasswordChange(const QString &oldPassword, const QString &newPassword,
                                   const QString &repetition, const QString &storedPassword);

} // namespace exam
