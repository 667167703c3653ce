#pragma once

#include <QString>
#include <QWidget>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QLineEdit;
class QPushButton;

namespace exam {

// 考务登录: asks for the administrator password. Each activation reads the stored password
// afresh; when none is stored the window lets the teacher in at once.
class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    // `systemProfilePath` is sys/sys.cho of the repository; it may be missing.
    LoginWindow(QString systemProfilePath, platform::Dialogs &dialogs, QWidget *parent = nullptr);

signals:
    void loggedIn();
    void cancelled();

protected:
    bool event(QEvent *event) override;

private:
    void readStoredPassword();
    void logIn();

    QString m_systemProfilePath;
    platform::Dialogs &m_dialogs;
    QString m_storedAtActivation;
    QLineEdit *m_typed = nullptr;  // Text1
    QLineEdit *m_stored = nullptr; // Text2, hidden
};

} // namespace exam
