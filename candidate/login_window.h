#pragma once

// The login window "考试登录", the client's first window: paper and class lists, examination
// number, name and former name, and "登录", "取消", "查看成绩". Its rules live in LoginModel.

#include "candidate/login_model.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace exam::candidate {

class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    // `state`, `dialogs` and `prompt` must outlive the window.
    LoginWindow(const QString &repositoryRoot, CandidateState &state, platform::Dialogs &dialogs,
                PasswordPrompt &prompt, QWidget *parent = nullptr);

    // Fills the lists. False when there is nothing to sit (the message has been shown): the
    // program is to end.
    bool start();

    LoginModel &model() { return m_model; }

signals:
    // The student was let in ("登录") or may review ("查看成绩"); CandidateState is filled.
    void admitted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Enter that no field or button took logs in: "登录" is the window's default button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    LoginEntries entries() const;
    void showClasses();
    void showButtons();
    void logIn();
    void viewResults();

    LoginModel m_model;
    QComboBox *m_papers;
    QComboBox *m_classes;
    QLineEdit *m_number;
    QLineEdit *m_name;
    QLineEdit *m_formerName;
    QPushButton *m_login;
    QPushButton *m_cancel;
    QPushButton *m_review;
    QLabel *m_link;
};

} // namespace exam::candidate
