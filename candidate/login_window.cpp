#include "candidate/login_window.h"

#include "candidate/login_rules.h"
#include "platform/widgets/window_building.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace exam::candidate {

namespace {

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

LoginWindow::LoginWindow(const QString &repositoryRoot, CandidateState &state,
                         platform::Dialogs &dialogs, PasswordPrompt &prompt, QWidget *parent)
    : QWidget(parent), m_model(repositoryRoot, state, dialogs, prompt),
      m_papers(new QComboBox(this)), m_classes(new QComboBox(this)),
      m_number(lineEdit(QStringLiteral("Text1"), this)),
      m_name(lineEdit(QStringLiteral("Text2"), this)),
      m_formerName(lineEdit(QStringLiteral("Text3"), this)),
      m_login(platform::makeButton(QStringLiteral("Command1"), QStringLiteral("登录"), this)),
      m_cancel(platform::makeButton(QStringLiteral("Command2"), QStringLiteral("取消"), this)),
      m_review(platform::makeButton(QStringLiteral("Command查看成绩"), QStringLiteral("查看成绩"),
                                    this)),
      m_link(new QLabel(this))
{
    setObjectName(LoginTexts::WindowTitle);
    setWindowTitle(LoginTexts::WindowTitle);

    m_papers->setObjectName(QStringLiteral("Combo1"));
    m_classes->setObjectName(QStringLiteral("Combo2"));
    m_papers->installEventFilter(this);
    m_number->setToolTip(QStringLiteral("考号必须为数字"));
    m_number->installEventFilter(this);
    // Text pasted or typed through an input method bypasses the key filter.
    m_number->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_number));
    m_name->setMaxLength(MaxNameLength);
    m_formerName->setMaxLength(MaxNameLength);
    m_login->setDefault(true);
    // A focused button answers Enter itself; otherwise Enter reaches the window and logs in.
    for (QPushButton *b : {m_login, m_cancel, m_review})
        b->setAutoDefault(true);
    // The client has no web page of its own to point to, so the link is not shown.
    m_link->setObjectName(QStringLiteral("Label3"));
    m_link->hide();

    auto *form = new QFormLayout;
    const auto addRow = [&](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("请选择试卷:"), m_papers);
    addRow(QStringLiteral("请选择班级:"), m_classes);
    addRow(QStringLiteral("请输入考号:"), m_number);
    addRow(QStringLiteral("请输入考生姓名:"), m_name);
    addRow(QStringLiteral("曾用名（可不输）:"), m_formerName);

    auto *buttons = platform::makeRow({m_login, m_cancel, m_review});
    platform::makeColumn(this, {form, buttons, m_link});
    m_papers->setMinimumWidth(240);

    connect(&m_model, &LoginModel::classesChanged, this, &LoginWindow::showClasses);
    connect(&m_model, &LoginModel::buttonsChanged, this, &LoginWindow::showButtons);
    connect(&m_model, &LoginModel::numberNormalized, m_number, &QLineEdit::setText);
    connect(&m_model, &LoginModel::numberFocusRequested, m_number,
            [this] { m_number->setFocus(Qt::OtherFocusReason); });
    connect(m_papers, &QComboBox::activated, this,
            [this](int index) { m_model.choosePaper(m_papers->itemText(index)); });
    connect(m_login, &QPushButton::clicked, this, &LoginWindow::logIn);
    connect(m_review, &QPushButton::clicked, this, &LoginWindow::viewResults);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

bool LoginWindow::start()
{
    if (!m_model.start())
        return false;
    // The model has already run "paper chosen" for the first paper; filling the list
    // programmatically does not emit activated(), so it does not run again.
    m_papers->addItems(m_model.papers());
    m_papers->setCurrentIndex(0);
    m_number->clear();
    m_name->clear();
    m_formerName->clear();
    return true;
}

LoginEntries LoginWindow::entries() const
{
    return {m_papers->currentText(), m_classes->currentText(), m_number->text(), m_name->text(),
            m_formerName->text()};
}

void LoginWindow::showClasses()
{
    // A class the student already picked stays picked while it is still listed; otherwise no
    // class is chosen for him: he picks his own.
    const QString picked = m_classes->currentText();
    m_classes->clear();
    m_classes->addItems(m_model.classes());
    m_classes->setCurrentIndex(picked.isEmpty() ? -1 : m_classes->findText(picked));
}

void LoginWindow::showButtons()
{
    m_login->setEnabled(m_model.loginEnabled());
    m_review->setEnabled(m_model.reviewEnabled());
}

void LoginWindow::logIn()
{
    if (m_model.logIn(entries()))
        emit admitted();
}

void LoginWindow::viewResults()
{
    if (m_model.viewResults(entries()))
        emit admitted();
}

void LoginWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_login->isEnabled())
            m_login->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool LoginWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_papers && event->type() == QEvent::FocusOut) {
        // Opening the list's own popup takes the focus without leaving the list, and so does
        // another window taking the keyboard: only a move to another control of this window leaves.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            m_model.leavePaperList(m_papers->currentText());
    } else if (watched == m_number && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!acceptsNumberKey(key->modifiers(), key->text())) {
            QApplication::beep();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace exam::candidate
