#include "candidate/help_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace exam::candidate {

QString helpText()
{
    const QString lineEnd(QChar(13));
    const QStringList lines = {
        QStringLiteral("1、如何翻页：单击“上一题”或“下一题”按钮。 "),
        QStringLiteral("2、如何选考题：单击“选择考题框”中的按钮,可快速跳转到对应的考题。 "),
        QStringLiteral("2、如何自动下翻：如果是单选题，您可以选中“自动下翻”选项，实现自动下翻。 "),
        QStringLiteral("3、如何查看答案：如果允许查看答案（练习模式），可以单击“查看答案”按钮，查看"
                       "答案和解释。"),
        QStringLiteral("4、如何交卷：单击“交卷”按钮即可。"),
    };
    QString text = lineEnd;
    for (const QString &line : lines)
        text += line + lineEnd;
    text += lineEnd;
    text += QStringLiteral("考试系统 学生端 " EXAM_CANDIDATE_VERSION) + lineEnd;
    text += QStringLiteral("本程序由学校教学技术组开发，用于机房上机考试。") + lineEnd;
    text += QStringLiteral("使用中遇到问题，请联系监考老师或学校网络中心。") + lineEnd;
    return text;
}

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent), m_text(new QLabel(this)),
      m_back(new QPushButton(QStringLiteral("返回考试"), this))
{
    setObjectName(QStringLiteral("帮助"));
    setWindowTitle(QStringLiteral("帮助"));
    setModal(true);

    m_text->setObjectName(QStringLiteral("Label1"));
    m_text->setToolTip(QStringLiteral("单击返回"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->installEventFilter(this);
    m_back->setObjectName(QStringLiteral("Command1"));
    m_back->setDefault(true);
    m_back->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_back, 0, Qt::AlignHCenter);
    resize(560, 320);

    connect(m_back, &QPushButton::clicked, this, &QDialog::accept);
}

void HelpWindow::setHelpText(const QString &text)
{
    // A carriage return alone ends a line in the texts the exam window builds.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(13), QChar(10));
    m_text->setText(shown);
    // The focus is on the button, and any key leaves: the text is read with the button.
    m_back->setAccessibleDescription(shown);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool clickOnText = watched == m_text && event->type() == QEvent::MouseButtonRelease;
    const bool keyOnButton = watched == m_back && event->type() == QEvent::KeyPress;
    if (clickOnText || keyOnButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    accept();
}

} // namespace exam::candidate
