#pragma once

// The help window "帮助", opened modally by the exam window's "帮助": a text and "返回考试".
// A click on the text, the button or any key closes it.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace exam::candidate {

// The help text the exam window shows: how to use the exam window, then what the program is.
QString helpText();

class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    void setHelpText(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_text;
    QPushButton *m_back;
};

} // namespace exam::candidate
