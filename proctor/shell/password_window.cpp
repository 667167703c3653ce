#include "proctor/shell/password_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/classes/window_parts.h"
#include "proctor/shell/console_password.h"
#include "repository/profile_values.h"
#include "repository/system_profile.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace exam {

namespace {

QLineEdit *passwordBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    return box;
}

void addRow(QFormLayout *form, const QString &caption, QLineEdit *box)
{
    auto *label = new QLabel(caption);
    label->setBuddy(box);
    form->addRow(label, box);
}

} // namespace

PasswordWindow::PasswordWindow(QString systemProfilePath, platform::Dialogs &dialogs,
                               QWidget *parent)
    : QDialog(parent), m_systemProfilePath(std::move(systemProfilePath)), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("设置密码"));
    setWindowTitle(QStringLiteral("设置密码"));

    auto *oldFrame = new QGroupBox(this);
    oldFrame->setObjectName(QStringLiteral("Frame1"));
    m_old = passwordBox(QStringLiteral("Text1"), oldFrame);
    auto *oldForm = new QFormLayout(oldFrame);
    addRow(oldForm, QStringLiteral("输入旧的密码:"), m_old);

    auto *newFrame = new QGroupBox(this);
    newFrame->setObjectName(QStringLiteral("Frame2"));
    m_new = passwordBox(QStringLiteral("Text2"), newFrame);
    m_repetition = passwordBox(QStringLiteral("Text3"), newFrame);
    auto *newForm = new QFormLayout(newFrame);
    addRow(newForm, QStringLiteral("输入新的密码:"), m_new);
    addRow(newForm, QStringLiteral("请再输一遍:"), m_repetition);

    m_stored = new QLineEdit(this);
    m_stored->setObjectName(QStringLiteral("Text4"));
    m_stored->setVisible(false);
    m_stored->setText(trimBlanks(readAdminPassword(ProfileSnapshot::load(m_systemProfilePath))));

    auto *ok = platform::makeButton(QStringLiteral("Command1"), QStringLiteral("确定"), this);
    ok->setToolTip(QStringLiteral("Save and return to main menu"));
    ok->setDefault(true);
    auto *cancel = platform::makeButton(QStringLiteral("Command2"), QStringLiteral("取消"), this);
    cancel->setToolTip(QStringLiteral("Return to main menu"));

    auto *buttons = platform::makeRow({platform::Stretch{}, ok, cancel});
    platform::makeColumn(this, {oldFrame, newFrame, buttons});

    connect(ok, &QPushButton::clicked, this, &PasswordWindow::confirm);
    connect(cancel, &QPushButton::clicked, this, &PasswordWindow::reject);
}

void PasswordWindow::confirm()
{
    const PasswordChange change =
        checkPasswordChange(m_old->text(), m_new->text(), m_repetition->text(), m_stored->text());
    switch (change.outcome) {
    case PasswordChange::Outcome::WrongOldPassword:
        m_old->clear();
        m_dialogs.message(this, WrongPasswordMessage, platform::Dialogs::Icon::Warning);
        return;
    case PasswordChange::Outcome::RepetitionDiffers:
        m_new->clear();
        m_repetition->clear();
        m_dialogs.message(this, WrongPasswordMessage, platform::Dialogs::Icon::Warning);
        return;
    case PasswordChange::Outcome::Accepted: break;
    }
    // A password that was not stored must not look changed: the window stays open.
    if (storeSystemProfile(this, m_dialogs, m_systemProfilePath,
                           QStringLiteral("新密码没有保存成功"), [this, &change] {
                               return writeAdminPassword(m_systemProfilePath, change.newPassword);
                           }))
        accept();
}

} // namespace exam
