#pragma once

#include <QString>

#include <optional>

namespace exam::candidate {

// Asks the student for a password in the modal dialog "输入密码", over the window the student works
// in; the login model goes through this so that its flows can be scripted in tests.
class PasswordPrompt
{
public:
    virtual ~PasswordPrompt() = default;
    // `title` is the prompt shown as the dialog's title. Returns the trimmed entry on "确定", an
    // empty text on "取消", and nothing when the dialog was closed by its close box.
    virtual std::optional<QString> ask(const QString &title) = 0;
};

} // namespace exam::candidate
