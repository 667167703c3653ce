#pragma once

// The exam window "网络考试": shows an ExamSession and forwards the student's actions to it.
// Opened after the instructions window; it runs until the paper is handed in (button or time-out)
// or, in review, until the student leaves, then emits examEnded() and closes.

#include "candidate/exam_session.h"
#include "candidate/exam_window_ui.h"

#include <QWidget>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam::candidate {

class ExamWindow : public QWidget
{
    Q_OBJECT
public:
    // Opens the help window modally; the program shows HelpWindow, tests record the call.
    using HelpOpener = std::function<void(QWidget *parent)>;

    // Starts the exam at once. `state` and `dialogs` must outlive the window.
    ExamWindow(CandidateState &state, ExamEnvironment environment, platform::Dialogs &dialogs,
               QWidget *parent = nullptr);

    ExamSession &session() { return *m_session; }
    void setHelpOpener(HelpOpener opener) { m_helpOpener = std::move(opener); }

signals:
    void examEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void connectSession();
    void applyReviewLayout();
    void renderQuestion();
    void renderButtons();
    void renderNavigation();
    void renderClock();
    void renderAnswerDisplay();
    void renderSaveStatus();
    void optionClicked(int option, bool ticked);
    exam::OptionTicks currentTicks() const;
    void handInOnTimeUp();
    bool handInNow();

    ExamWindowUi m_ui;
    ExamSession *m_session;
    platform::Dialogs &m_dialogs;
    HelpOpener m_helpOpener;
    bool m_asking = false;
    bool m_handingIn = false;
    bool m_finished = false;
};

// Loads an RTF document into a view, or shows why it could not be loaded.
void showDocument(QTextEdit *view, const QString &path, const QString &error);

} // namespace exam::candidate
