#include "candidate/exam_session.h"

#include "candidate/exam_clock.h"
#include "candidate/hand_in_check.h"
#include "candidate/question_order.h"
#include "repository/profile_file.h"
#include "repository/profile_values.h"
#include "repository/result_profile.h"

#include <algorithm>
#include <tuple>

namespace exam::candidate {

namespace {

constexpr int ClockIntervalMs = 1000;
constexpr int SaveIntervalMs = 60000;

QString saveFailedText(const QString &reason)
{
    QString text = QStringLiteral("注意: 考试进度未能保存, 将在下次自动保存时重试。");
    if (!reason.isEmpty())
        text += u' ' + reason;
    return text;
}

} // namespace

ExamSession::ExamSession(CandidateState &state, ExamEnvironment environment, QObject *parent)
    : QObject(parent), m_state(state), m_env(std::move(environment)),
      m_files(m_env.repositoryRoot, state.paperName, m_env.runsLocally, m_env.localCacheFolder)
{
    const auto adopt = [this](const QString &name) {
        std::unique_ptr<ExamTicker> ticker = m_env.makeTicker(name);
        ticker->setObjectName(name);
        ticker->setParent(this);
        return ticker.release();
    };
    m_clockTimer = adopt(QStringLiteral("Timer1"));
    m_saveTimer = adopt(QStringLiteral("Timer保存"));
    connect(m_clockTimer, &ExamTicker::timeout, this, &ExamSession::clockTick);
    connect(m_saveTimer, &ExamTicker::timeout, this, &ExamSession::saveProgress);
}

void ExamSession::start()
{
    m_state.localCacheFolder = m_env.localCacheFolder;
    m_state.jumpStep = 5;
    m_state.autoAdvance = false;
    m_state.answerShown = false;

    const QString paperProfile = m_files.preparePaperProfile();
    m_state.runsLocally = m_files.runsLocally();
    m_paper = readExamPaper(exam::ProfileSnapshot::load(paperProfile));
    m_state.testMinutes = m_paper.testMinutes;
    m_state.questionCount = m_paper.questionCount;
    m_state.defaultMark = m_paper.defaultMark;
    m_state.practiceMode = m_paper.practiceMode;

    m_answers = QList<double>(m_paper.questionCount, 0.0);
    m_navigation = QuestionNavigation{};
    m_navigation.presentedCount = m_paper.presentedCount();
    m_navigation.jumpStep = m_state.jumpStep;

    if (m_state.reviewMode || m_state.resumeMode)
        restoreSavedAttempt();
    else
        beginFreshAttempt();
    m_state.currentPosition = m_navigation.position;

    showQuestion();
    saveProgress();
    emit buttonsChanged();
    emit clockChanged();
    emit answerDisplayChanged();
    if (clockRuns())
        m_clockTimer->start(ClockIntervalMs);
    if (!m_state.reviewMode)
        m_saveTimer->start(SaveIntervalMs);
}

void ExamSession::restoreSavedAttempt()
{
    const QString number = m_state.examNumber;
    const exam::ProfileSnapshot saved = exam::ProfileSnapshot::load(resultProfilePath());
    const QString section = m_state.className;

    m_order = QList<int>(m_paper.questionCount, 0);
    for (int k = 1; k <= m_paper.questionCount; ++k) {
        m_order[k - 1] =
            exam::profileNumber(saved.value(section, exam::ResultKeys::order(number, k)));
        m_answers[k - 1] =
            exam::answerValue(saved.value(section, exam::ResultKeys::answer(number, k)));
    }
    // Every question answered so far stays presented, also when the draw was made smaller since.
    m_navigation.presentedCount = std::max(m_navigation.presentedCount, answeredCount(m_answers));
    // Missing or stale order keys (a paper edited since the save) give a fresh order that keeps
    // the answered questions in the presented positions.
    if (!isUsableOrder(m_order, m_paper.questionCount, m_navigation.presentedCount)) {
        m_order = freshOrder();
        presentAnswered(m_order, m_navigation.presentedCount, m_answers);
    }

    if (m_state.reviewMode) {
        m_savedScore = exam::shortestNumberText(
            exam::leadingNumber(saved.value(section, exam::ResultKeys::score(number))));
        m_state.remainingTime = 0;
        return;
    }
    // A saved time that cannot be read back gives the full time rather than an instant time-out.
    const std::optional<int> left =
        parseClockText(saved.value(section, exam::ResultKeys::remainingTime(number)));
    m_state.remainingTime = left.value_or(secondsForMinutes(m_paper.testMinutes));
    const int position =
        exam::profileNumber(saved.value(section, exam::ResultKeys::position(number)));
    m_navigation.position =
        position >= 1 && position <= std::max(1, m_navigation.presentedCount) ? position : 1;
}

QList<int> ExamSession::freshOrder() const
{
    return m_paper.shuffles() ? shuffledOrder(m_paper.questionCount, *m_env.random)
                              : paperOrder(m_paper.questionCount);
}

void ExamSession::beginFreshAttempt()
{
    m_order = freshOrder();
    m_state.remainingTime = secondsForMinutes(m_paper.testMinutes);
    m_startedAt = m_env.clock->now();
    m_startStampPending = true;
    // A stamp that could not be stored stays pending; the first progress save stores it and tells
    // the student when it cannot.
    std::ignore = storePendingStartStamp();
}

exam::Result ExamSession::storePendingStartStamp()
{
    if (!m_startStampPending)
        return {};
    const bool stored = writeProfileString(exam::trimBlanks(m_state.className),
                                           exam::ResultKeys::startStamp(m_state.examNumber),
                                           exam::startStampText(m_startedAt), resultProfilePath());
    m_startStampPending = !stored;
    if (!stored)
        return exam::Result::failure(QStringLiteral("无法写入成绩文件。"));
    return {};
}

QString ExamSession::resultProfilePath() const
{
    return exam::RepositoryPaths(m_env.repositoryRoot)
        .resultProfile(m_state.paperName, m_state.className, m_state.examNumber);
}

bool ExamSession::showAnswerButtonVisible() const
{
    return m_paper.practiceMode == 1 || m_state.reviewMode;
}

bool ExamSession::answeringOpen() const
{
    return !m_state.reviewMode && !m_timeIsUp && !m_handedIn;
}

bool ExamSession::clockRuns() const
{
    return answeringOpen() && m_paper.hasTimeLimit() && !m_state.answerShown;
}

int ExamSession::currentQuestion() const
{
    const int p = m_navigation.position;
    if (p < 1 || p > m_navigation.presentedCount || p > m_order.size())
        return 0;
    return m_order.at(p - 1);
}

double ExamSession::answer(int question) const
{
    return question >= 1 && question <= m_answers.size() ? m_answers.at(question - 1) : 0.0;
}

QString ExamSession::clockText() const
{
    return m_paper.hasTimeLimit() ? exam::candidate::clockText(m_state.remainingTime)
                                  : QStringLiteral("不限时");
}

QString ExamSession::windowTitle() const
{
    const QStringList parts{m_state.className.trimmed(), m_state.examNumber.trimmed(),
                            m_state.studentName.trimmed(), m_state.formerName.trimmed(),
                            m_state.paperName.trimmed()};
    QString title = parts.join(u' ');
    if (m_state.reviewMode)
        title += QStringLiteral("  |查阅试卷|");
    return title;
}

QString ExamSession::selectFrameCaption() const
{
    return QStringLiteral("选择试题") + QStringLiteral("          总题数:") + u' ' +
           QString::number(m_navigation.presentedCount);
}

QString ExamSession::scoreLabelText() const
{
    return QStringLiteral("成绩:") + m_savedScore;
}

QString ExamSession::questionCaption() const
{
    const int k = currentQuestion();
    if (k == 0)
        return {};
    const exam::PaperQuestion &question = m_paper.question(k);
    QString caption = QStringLiteral("题号:") + QString::number(m_navigation.position) +
                      QStringLiteral("      分值:") + markText(question, m_paper.defaultMark);
    if (m_state.answerShown || m_state.reviewMode)
        caption += answerFeedback(question.answer, answer(k)).captionSuffix;
    return caption;
}

exam::OptionTicks ExamSession::optionTicks() const
{
    return exam::ticksFromValue(answer(currentQuestion()));
}

OptionTints ExamSession::optionTints() const
{
    const int k = currentQuestion();
    if (k != 0 && (m_state.answerShown || m_state.reviewMode)) {
        const AnswerFeedback feedback = answerFeedback(m_paper.question(k).answer, answer(k));
        if (feedback.options)
            return *feedback.options;
    }
    return tintsFromTicks(optionTicks());
}

QString ExamSession::questionDocument(QString *error)
{
    const int k = currentQuestion();
    return k == 0 ? QString() : m_files.documentPath(m_paper.question(k).questionFile, error);
}

QString ExamSession::explanationDocument(QString *error)
{
    const int k = currentQuestion();
    return k == 0 ? QString() : m_files.documentPath(m_paper.question(k).explainFile, error);
}

ExamSession::ButtonView ExamSession::questionButton(int button) const
{
    ButtonView view;
    view.position = m_navigation.buttonPosition(button);
    view.visible = m_navigation.buttonVisible(button);
    if (!view.visible || view.position < 1 || view.position > m_order.size())
        return view;
    const int k = m_order.at(view.position - 1);
    if (m_state.reviewMode)
        view.tint = reviewButtonTint(m_paper.question(k).answer, answer(k));
    else
        view.tint = answer(k) > 0 ? Tint::Answered : Tint::ButtonFace;
    return view;
}

void ExamSession::keepPage()
{
    if (m_navigation.keepPage())
        emit buttonsChanged();
}

void ExamSession::showQuestion()
{
    keepPage();
    m_state.currentPosition = m_navigation.position;
    emit navigationChanged();
    emit questionChanged();
}

void ExamSession::previous()
{
    if (m_navigation.previous())
        showQuestion();
    else
        emit navigationChanged();
}

void ExamSession::next()
{
    if (m_navigation.next())
        showQuestion();
    else
        emit navigationChanged();
}

void ExamSession::jumpBack()
{
    if (m_navigation.jumpBack())
        showQuestion();
}

void ExamSession::jumpForward()
{
    if (m_navigation.jumpForward())
        showQuestion();
}

void ExamSession::selectQuestionButton(int button)
{
    if (m_navigation.selectButton(button))
        showQuestion();
}

void ExamSession::setPageOffset(int offset)
{
    if (offset == m_navigation.pageOffset)
        return;
    m_navigation.setPageOffset(offset);
    emit buttonsChanged();
}

void ExamSession::setAutoAdvance(bool on)
{
    m_state.autoAdvance = on;
}

void ExamSession::optionsChanged(const exam::OptionTicks &ticks)
{
    if (!answeringOpen())
        return;
    recordAnswer(ticks);
    if (m_state.autoAdvance)
        next();
}

void ExamSession::recordAnswer(const exam::OptionTicks &ticks)
{
    const int k = currentQuestion();
    if (!answeringOpen() || k == 0)
        return;
    m_answers[k - 1] = exam::answerValue(ticks);
    keepPage();
    emit buttonsChanged();
}

void ExamSession::toggleAnswerDisplay()
{
    m_state.answerShown = !m_state.answerShown;
    if (clockRuns())
        m_clockTimer->start(ClockIntervalMs);
    else
        m_clockTimer->stop();
    emit answerDisplayChanged();
    showQuestion();
}

void ExamSession::clockTick()
{
    if (!m_paper.hasTimeLimit() || !answeringOpen())
        return;
    m_state.remainingTime = std::max(0, m_state.remainingTime - 1);
    emit clockChanged();
    if (m_state.remainingTime == 0) {
        m_timeIsUp = true;
        m_clockTimer->stop();
        emit timeUp();
    }
}

bool ExamSession::saveProgress()
{
    if (m_state.reviewMode || m_handedIn)
        return true;
    const exam::Result stamped = storePendingStartStamp();
    exam::ProgressSave progress;
    progress.remainingTime = clockText();
    progress.currentPosition = m_navigation.position;
    progress.answers = m_answers;
    progress.order = m_order.mid(0, m_navigation.presentedCount);
    const exam::Result saved =
        exam::storeProgress(resultProfilePath(), m_state.className, m_state.examNumber, progress);
    const bool stored = saved && stamped;
    const QString warning =
        stored ? QString() : saveFailedText(saved ? stamped.message() : saved.message());
    if (warning != m_saveWarning) {
        m_saveWarning = warning;
        emit saveStatusChanged();
    }
    return stored;
}

ExamSession::HandInOutcome ExamSession::handIn()
{
    if (m_state.reviewMode || m_handedIn)
        return {true, {}};
    exam::HandIn result;
    result.remainingTime = clockText();
    result.answers = m_answers;
    const ScoreResult score = scorePaper(m_paper, m_answers, m_order, m_navigation.presentedCount);
    result.score = score.score;

    const QString path = resultProfilePath();
    const exam::Result written =
        exam::storeHandIn(path, m_state.className, m_state.examNumber, result);
    if (!written || !handInIsStored(path, m_state.className, m_state.examNumber, result)) {
        QString text = QStringLiteral("交卷失败: 您的考试结果未能保存!\n"
                                      "您的答案仍保留在考试窗口中。请报告监考老师, "
                                      "检查网络和考试文件夹后再次单击“交卷”。");
        if (!written.message().isEmpty())
            text += u'\n' + written.message();
        return {false, text};
    }
    m_handedIn = true;
    m_clockTimer->stop();
    m_saveTimer->stop();
    m_files.removeLocalCopies();
    return {true, handInMessage(m_paper.displayScore == 1, score)};
}

} // namespace exam::candidate
