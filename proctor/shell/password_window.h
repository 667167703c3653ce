#pragma once

#include <QDialog>
#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QLineEdit;

namespace exam {

// 设置密码: changes the administrator password after checking the old one and a repetition of
// the new one. The change takes effect at the console's next start.
class PasswordWindow : public QDialog
{
    Q_OBJECT

public:
    PasswordWindow(QString systemProfilePath, platform::Dialogs &dialogs,
                   QWidget *parent = nullptr);

private:
    void confirm();

    QString m_systemProfilePath;
    platform::Dialogs &m_dialogs;
    QLineEdit *m_old = nullptr;        // Text1
    QLineEdit *m_new = nullptr;        // Text2
    QLineEdit *m_repetition = nullptr; // Text3
    QLineEdit *m_stored = nullptr;     // Text4, hidden
};

} // namespace exam
