#include "candidate/password_dialog.h"

#include "platform/widgets/window_building.h"
#include "repository/profile_values.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace exam::candidate {

PasswordDialog::PasswordDialog(QWidget *parent)
    : QDialog(parent), m_password(new QLineEdit(this)),
      m_ok(platform::makeButton(QStringLiteral("OKButton"), QStringLiteral("确定"), this)),
      m_cancel(platform::makeButton(QStringLiteral("CancelButton"), QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("输入密码"));
    setWindowTitle(QStringLiteral("输入密码"));
    setModal(true);

    m_password->setObjectName(QStringLiteral("TxtPW"));
    m_password->setEchoMode(QLineEdit::Password);
    // Masked with "*" (code 42) rather than the style's own dot.
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    m_ok->setDefault(true);

    auto *buttons = platform::makeRow({platform::Stretch{}, m_ok, m_cancel});
    platform::makeColumn(this, {m_password, buttons});
    setMinimumWidth(320);

    connect(m_ok, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &PasswordDialog::cancel);
}

bool PasswordDialog::event(QEvent *event)
{
    // The title is the prompt ("请输入重考密码:"), so it is also what the field is called.
    if (event->type() == QEvent::WindowTitleChange)
        m_password->setAccessibleName(windowTitle());
    // Every time the dialog comes to the front it starts from an empty field.
    if (event->type() == QEvent::WindowActivate) {
        m_password->clear();
        m_password->setFocus();
    }
    return QDialog::event(event);
}

void PasswordDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape is the cancel button, as a student expects; only the close box leaves no answer.
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PasswordDialog::confirm()
{
    m_entry = exam::trimBlanks(m_password->text());
    accept();
}

void PasswordDialog::cancel()
{
    m_entry = QString();
    reject();
}

std::optional<QString> DialogPasswordPrompt::ask(const QString &title)
{
    PasswordDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.exec();
    return dialog.entry();
}

} // namespace exam::candidate
