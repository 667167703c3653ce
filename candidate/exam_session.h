#pragma once

// The running exam without widgets: start-up (file source, settings, question order, clock, start
// stamp, first save), answering, navigation, the clock and the progress save, hand-in with scoring,
// and the practice/review feedback. The exam window shows this state and forwards the student's
// actions; tests drive it directly.

#include "candidate/answer_feedback.h"
#include "candidate/candidate_state.h"
#include "candidate/exam_files.h"
#include "candidate/exam_paper.h"
#include "candidate/exam_ticker.h"
#include "candidate/question_navigation.h"
#include "candidate/scoring.h"
#include "repository/answer_digits.h"
#include "repository/clock.h"
#include "repository/random_source.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace exam::candidate {

// What the exam needs from outside; the program passes the real services, tests their stand-ins.
// The pointers are not owned and must outlive the session.
struct ExamEnvironment
{
    QString repositoryRoot;
    bool runsLocally = true;  // the program folder is on a local file system
    QString localCacheFolder; // clientCopyFolder() in the program
    exam::RandomSource *random = nullptr;
    const exam::Clock *clock = nullptr;
    ExamTickerFactory makeTicker = qtTickerFactory();
};

class ExamSession : public QObject
{
    Q_OBJECT
public:
    ExamSession(CandidateState &state, ExamEnvironment environment, QObject *parent = nullptr);

    // Reads the paper, builds or restores the order and the clock, stamps a fresh start, shows the
    // first question, saves once and starts the timers (not in review).
    void start();

    // --- State for the window ---------------------------------------------------------------
    const ExamPaper &paper() const { return m_paper; }
    const CandidateState &state() const { return m_state; }
    bool reviewMode() const { return m_state.reviewMode; }
    bool answerShown() const { return m_state.answerShown; }
    bool showAnswerButtonVisible() const;
    bool answeringOpen() const; // false in review and once the time is up
    const QuestionNavigation &navigation() const { return m_navigation; }
    int presentedCount() const { return m_navigation.presentedCount; }
    int currentQuestion() const; // 0 when nothing is presented
    double answer(int question) const;
    const QList<double> &answers() const { return m_answers; }
    const QList<int> &order() const { return m_order; }

    QString clockText() const; // "不限时" for a paper without a time limit
    QString windowTitle() const;
    QString selectFrameCaption() const;
    QString scoreLabelText() const; // review: "成绩:" and the saved score
    QString questionCaption() const;
    exam::OptionTicks optionTicks() const;
    OptionTints optionTints() const;
    // The document to load for the question on display (or its explanation); see ExamFiles.
    QString questionDocument(QString *error = nullptr);
    QString explanationDocument(QString *error = nullptr);

    struct ButtonView
    {
        int position = 0;
        bool visible = false;
        Tint tint = Tint::ButtonFace;
    };
    ButtonView questionButton(int button) const; // 1 … 20

    QString saveWarning() const { return m_saveWarning; } // empty after a stored save
    bool timeIsUp() const { return m_timeIsUp; }
    bool handedIn() const { return m_handedIn; }
    ExamTicker *clockTimer() const { return m_clockTimer; }
    ExamTicker *saveTimer() const { return m_saveTimer; }

    // --- Actions ----------------------------------------------------------------------------
    void previous();
    void next();
    void jumpBack();
    void jumpForward();
    void selectQuestionButton(int button);
    void setPageOffset(int offset);
    void setAutoAdvance(bool on);
    // The ticks of the option boxes after the student changed one (mouse, Space or assistive
    // technology alike): records the answer, then moves on when auto-advance is on.
    void optionsChanged(const exam::OptionTicks &ticks);
    void recordAnswer(const exam::OptionTicks &ticks);
    void toggleAnswerDisplay();
    void clockTick();
    bool saveProgress();

    struct HandInOutcome
    {
        bool stored = false;
        QString message; // the score message, or why the result could not be stored
    };
    // Writes TIME2, the answers and DF, reads them back, and only then counts the paper as handed
    // in (timers stopped, local copies removed). A failed store keeps everything as it was, so
    // the hand-in can be tried again.
    HandInOutcome handIn();

signals:
    void questionChanged();
    void buttonsChanged();
    void navigationChanged();
    void clockChanged();
    void answerDisplayChanged();
    void saveStatusChanged();
    void timeUp();

private:
    bool clockRuns() const;
    void showQuestion();
    void keepPage();
    void restoreSavedAttempt();
    void beginFreshAttempt();
    QList<int> freshOrder() const;
    QString resultProfilePath() const;
    exam::Result storePendingStartStamp();

    CandidateState &m_state;
    ExamEnvironment m_env;
    ExamFiles m_files;
    ExamPaper m_paper;
    QuestionNavigation m_navigation;
    QList<double> m_answers; // answer to question k at k - 1
    QList<int> m_order;      // question at position p at p - 1
    QString m_savedScore;    // review: DF
    QDateTime m_startedAt;
    bool m_startStampPending = false;
    QString m_saveWarning;
    bool m_timeIsUp = false;
    bool m_handedIn = false;
    ExamTicker *m_clockTimer = nullptr;
    ExamTicker *m_saveTimer = nullptr;
};

} // namespace exam::candidate
