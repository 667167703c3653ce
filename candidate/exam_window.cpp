#include "candidate/exam_window.h"

#include "candidate/clock_label.h"
#include "candidate/help_window.h"
#include "platform/dialogs/dialogs.h"
#include "platform/rtf/rtf.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextEdit>

namespace exam::candidate {

namespace {

// Paints a widget's background in the tint's colour, or back in the style's own colour, and says
// the same in words to assistive technology.
void applyTint(QWidget *widget, Tint tint)
{
    if (const QString text = tintText(tint); widget->accessibleDescription() != text)
        widget->setAccessibleDescription(text);
    const QPalette::ColorRole role = widget->backgroundRole();
    QPalette palette = widget->palette();
    palette.setColor(role, tintColor(tint).value_or(QApplication::palette(widget).color(role)));
    widget->setPalette(palette);
}

void openHelpWindow(QWidget *parent)
{
    HelpWindow help(parent);
    help.setHelpText(helpText());
    help.exec();
}

} // namespace

void showDocument(QTextEdit *view, const QString &path, const QString &error)
{
    if (path.isEmpty()) {
        view->setPlainText(error);
        return;
    }
    if (const exam::Result loaded = rtf::loadRtfFile(path, view->document()); !loaded)
        view->setPlainText(loaded.message());
}

ExamWindow::ExamWindow(CandidateState &state, ExamEnvironment environment,
                       platform::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_session(new ExamSession(state, std::move(environment), this)),
      m_dialogs(dialogs), m_helpOpener(openHelpWindow)
{
    m_ui.setupUi(this);
    connectControls();
    connectSession();
    m_session->start();
    m_ui.showAnswer->setVisible(m_session->showAnswerButtonVisible());
    m_ui.selectFrame->setTitle(m_session->selectFrameCaption());
    m_ui.pageBar->setMaximum(m_session->navigation().pageMaximum());
    if (m_session->reviewMode())
        applyReviewLayout();
    setWindowTitle(m_session->windowTitle());
    renderButtons();
    renderNavigation();
    renderSaveStatus();
}

void ExamWindow::connectControls()
{
    for (int j = 0; j < exam::OptionCount; ++j) {
        // clicked() comes from a mouse release, the Space key and assistive technology alike.
        connect(m_ui.options[j], &QCheckBox::clicked, this,
                [this, j](bool ticked) { optionClicked(j + 1, ticked); });
    }
    for (int i = 0; i < QuestionNavigation::ButtonCount; ++i) {
        connect(m_ui.questionButtons[i], &QPushButton::clicked, this,
                [this, i] { m_session->selectQuestionButton(i + 1); });
    }
    connect(m_ui.previous, &QPushButton::clicked, m_session, &ExamSession::previous);
    connect(m_ui.next, &QPushButton::clicked, m_session, &ExamSession::next);
    m_ui.previous->installEventFilter(this);
    m_ui.next->installEventFilter(this);
    connect(m_ui.pageBar, &QScrollBar::valueChanged, m_session, &ExamSession::setPageOffset);
    connect(m_ui.autoAdvance, &QCheckBox::clicked, m_session, &ExamSession::setAutoAdvance);
    connect(m_ui.showAnswer, &QPushButton::clicked, m_session, &ExamSession::toggleAnswerDisplay);
    connect(m_ui.help, &QPushButton::clicked, this, [this] { m_helpOpener(this); });
    connect(m_ui.handIn, &QPushButton::clicked, this, &QWidget::close);

    auto *pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    auto *pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pageUp, &QShortcut::activated, m_session, &ExamSession::previous);
    connect(pageDown, &QShortcut::activated, m_session, &ExamSession::next);
}

void ExamWindow::connectSession()
{
    connect(m_session, &ExamSession::questionChanged, this, &ExamWindow::renderQuestion);
    connect(m_session, &ExamSession::buttonsChanged, this, &ExamWindow::renderButtons);
    connect(m_session, &ExamSession::navigationChanged, this, &ExamWindow::renderNavigation);
    connect(m_session, &ExamSession::clockChanged, this, &ExamWindow::renderClock);
    connect(m_session, &ExamSession::answerDisplayChanged, this, &ExamWindow::renderAnswerDisplay);
    connect(m_session, &ExamSession::saveStatusChanged, this, &ExamWindow::renderSaveStatus);
    connect(m_session, &ExamSession::timeUp, this, &ExamWindow::handInOnTimeUp);
}

void ExamWindow::applyReviewLayout()
{
    m_ui.optionFrame->setEnabled(false);
    m_ui.handIn->setText(QStringLiteral("退出"));
    m_ui.clockCaption->setText(m_session->scoreLabelText());
    m_ui.clock->hide();
}

void ExamWindow::renderQuestion()
{
    QString error;
    const QString path = m_session->questionDocument(&error);
    showDocument(m_ui.questionView, path, error);

    const exam::OptionTicks ticks = m_session->optionTicks();
    const OptionTints tints = m_session->optionTints();
    for (int j = 0; j < exam::OptionCount; ++j) {
        m_ui.options[j]->setChecked(ticks[j]);
        applyTint(m_ui.options[j], tints[j]);
    }
    m_ui.questionFrame->setTitle(m_session->questionCaption());
    m_ui.optionFrame->setEnabled(m_session->answeringOpen());

    m_ui.explainFrame->setVisible(m_session->answerShown());
    if (m_session->answerShown()) {
        QString explainError;
        const QString explainPath = m_session->explanationDocument(&explainError);
        showDocument(m_ui.explainView, explainPath, explainError);
    }
}

void ExamWindow::renderButtons()
{
    const QSignalBlocker blocker(m_ui.pageBar);
    m_ui.pageBar->setValue(m_session->navigation().pageOffset);
    for (int i = 1; i <= QuestionNavigation::ButtonCount; ++i) {
        QPushButton *button = m_ui.questionButtons[i - 1];
        const ExamSession::ButtonView view = m_session->questionButton(i);
        button->setText(QString::number(view.position));
        button->setVisible(view.visible);
        applyTint(button, view.tint);
    }
}

void ExamWindow::renderNavigation()
{
    m_ui.previous->setEnabled(m_session->navigation().previousEnabled);
    m_ui.next->setEnabled(m_session->navigation().nextEnabled);
}

void ExamWindow::renderClock()
{
    m_ui.clock->showTime(m_session->clockText());
}

void ExamWindow::renderAnswerDisplay()
{
    m_ui.showAnswer->setText(m_session->answerShown() ? QStringLiteral("继续考试")
                                                      : QStringLiteral("显示答案"));
}

void ExamWindow::renderSaveStatus()
{
    m_ui.saveWarning->setText(m_session->saveWarning());
    m_ui.saveWarning->setVisible(!m_session->saveWarning().isEmpty());
}

void ExamWindow::optionClicked(int option, bool ticked)
{
    if (!m_session->answeringOpen())
        return;
    applyTint(m_ui.options[option - 1], ticked ? Tint::Ticked : Tint::Unticked);
    m_session->optionsChanged(currentTicks());
}

exam::OptionTicks ExamWindow::currentTicks() const
{
    exam::OptionTicks ticks{};
    for (int j = 0; j < exam::OptionCount; ++j)
        ticks[j] = m_ui.options[j]->isChecked();
    return ticks;
}

bool ExamWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        if (watched == m_ui.previous) {
            m_session->jumpBack();
            return true;
        }
        if (watched == m_ui.next) {
            m_session->jumpForward();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExamWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter on a focused button presses that button, as Space does, so a student without a mouse
    // reaches every button. Elsewhere "下一题" is the window's default button: Enter clicks it,
    // and does nothing while it is disabled (Page Down still runs "next", as the buttons' enabled
    // state does not limit it).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget());
            focused && focused->isEnabled())
            focused->click();
        else if (m_ui.next->isEnabled())
            m_session->next();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ExamWindow::closeEvent(QCloseEvent *event)
{
    if (m_finished) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_asking || m_handingIn)
        return;
    m_asking = true;
    const bool leave =
        m_dialogs.yesNo(this,
                        m_session->reviewMode() ? QStringLiteral("您是否要退出?")
                                                : QStringLiteral("您是否要交卷退出考试?"),
                        platform::Dialogs::Button::No);
    m_asking = false;
    // The time may have run out, and the paper been handed in, while the question was open; its
    // own close could not run during this one, so the window closes now, whatever the answer.
    if (m_finished) {
        event->accept();
        return;
    }
    if (!leave)
        return;
    if (!m_session->reviewMode() && !handInNow())
        return;
    m_finished = true;
    event->accept();
    emit examEnded();
}

void ExamWindow::handInOnTimeUp()
{
    // Answers close with the time, also when it runs out while a hand-in is under way (its
    // failure message open): a box ticked now would show an answer that is not recorded.
    m_ui.optionFrame->setEnabled(false);
    if (m_finished || m_handingIn)
        return;
    if (!handInNow())
        return;
    m_finished = true;
    close();
    emit examEnded();
}

bool ExamWindow::handInNow()
{
    if (m_session->handedIn())
        return true;
    m_handingIn = true;
    const ExamSession::HandInOutcome outcome = m_session->handIn();
    m_dialogs.message(this, outcome.message,
                      outcome.stored ? platform::Dialogs::Icon::None
                                     : platform::Dialogs::Icon::Critical);
    m_handingIn = false;
    return outcome.stored;
}

} // namespace exam::candidate
