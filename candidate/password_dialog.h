#pragma once

// The password dialog "输入密码": a masked field and "确定"/"取消". Its title is the prompt.

#include "candidate/password_prompt.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace exam::candidate {

class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget *parent = nullptr);

    // The trimmed entry after "确定", empty after "取消", nothing when closed otherwise.
    const std::optional<QString> &entry() const { return m_entry; }

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void confirm();
    void cancel();

    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    std::optional<QString> m_entry;
};

// The real prompt: runs PasswordDialog modally over the active window.
class DialogPasswordPrompt final : public PasswordPrompt
{
public:
    std::optional<QString> ask(const QString &title) override;
};

} // namespace exam::candidate
