#include "proctor/results/results_presenter.h"

#include "proctor/results/row_texts.h"
#include "repository/profile_lock.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"

#include <QFileInfo>

#include <numeric>

namespace exam {

namespace {

const SystemClock systemClock;

QList<int> identity(qsizetype size)
{
    QList<int> order(size);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

ResultsPresenter::ResultsPresenter(QString root, QObject *parent)
    : QObject(parent), m_root(std::move(root)), m_clock(&systemClock)
{}

void ResultsPresenter::setData(ResultsData data)
{
    m_data = std::move(data);
    m_hasData = true;
    m_studentRow = -1;
    m_questionOrder = identity(m_data.questions.size());
    // A paper with fewer questions has no such row: the question view then shows none, not the
    // question of the paper before.
    const bool questionDropped = m_questionRow >= m_data.questions.size();
    if (questionDropped)
        m_questionRow = -1;
    emit statisticsChanged();
    studentToggle(StudentColumn::Number).setState(2);
    sortStudents(StudentColumn::Number);
    questionsReordered();
    if (questionDropped)
        emit questionSelected();
}

void ResultsPresenter::sortStudents(StudentColumn column)
{
    const SortDirection direction = studentToggle(column).next();
    const QList<StudentRecord> &students = m_data.students;
    if (column == StudentColumn::Name || column == StudentColumn::RemainingTime) {
        QStringList keys;
        keys.reserve(students.size());
        for (const StudentRecord &student : students)
            keys.append(column == StudentColumn::Name ? student.name : student.remainingTime);
        m_studentOrder = sortPermutation(keys, direction);
    } else {
        QList<double> keys;
        keys.reserve(students.size());
        for (const StudentRecord &student : students) {
            const QString &text = column == StudentColumn::Number  ? student.number
                                  : column == StudentColumn::Score ? student.score
                                                                   : student.rank;
            keys.append(numericSortKey(text));
        }
        m_studentOrder = sortPermutation(keys, direction);
    }
    const bool hadStudent = m_studentRow >= 0;
    m_studentRow = -1;
    emit studentsChanged();
    if (hadStudent)
        emit answersChanged();
}

void ResultsPresenter::sortQuestions(QuestionColumn column)
{
    const SortDirection direction = questionToggle(column).next();
    QList<double> keys;
    keys.reserve(m_data.questions.size());
    for (const QuestionRow &row : m_data.questions) {
        keys.append(column == QuestionColumn::Number           ? row.number
                    : column == QuestionColumn::StandardAnswer ? row.standardAnswer
                                                               : row.correctRate);
    }
    m_questionOrder = sortPermutation(keys, direction);
    questionsReordered();
}

void ResultsPresenter::questionsReordered()
{
    emit questionsChanged();
    if (m_questionRow >= 0)
        emit questionSelected();
}

template <typename RowText> QStringList ResultsPresenter::studentRows(RowText rowText) const
{
    QStringList rows;
    rows.reserve(m_studentOrder.size());
    for (int position : m_studentOrder)
        rows.append(rowText(m_data.students.at(position)));
    return rows;
}

QStringList ResultsPresenter::namesRows() const
{
    return studentRows([](const StudentRecord &student) {
        return studentNamesRow(student.number, student.name, student.formerName);
    });
}

QStringList ResultsPresenter::scoreRows() const
{
    return studentRows([](const StudentRecord &student) {
        return studentScoreRow(student.score, student.rank, student.remainingTime);
    });
}

QStringList ResultsPresenter::statisticsRows() const
{
    return m_data.statistics.panelRows();
}

QStringList ResultsPresenter::questionRows() const
{
    QStringList rows;
    rows.reserve(m_questionOrder.size());
    for (int index : m_questionOrder) {
        const QuestionRow &row = m_data.questions.at(index);
        rows.append(questionRow(row.number, row.correctRate, row.standardAnswer));
    }
    return rows;
}

QStringList ResultsPresenter::answerRows() const
{
    const StudentRecord *student = selectedStudent();
    QStringList rows;
    rows.reserve(m_questionOrder.size());
    for (int index : m_questionOrder)
        rows.append(answerRow(student ? student->answers.value(index) : qint64(0)));
    return rows;
}

void ResultsPresenter::selectStudentRow(int row)
{
    m_studentRow = row >= 0 && row < m_studentOrder.size() ? row : -1;
    emit answersChanged();
}

const StudentRecord *ResultsPresenter::selectedStudent() const
{
    if (m_studentRow < 0)
        return nullptr;
    return &m_data.students.at(m_studentOrder.at(m_studentRow));
}

void ResultsPresenter::selectQuestionRow(int row)
{
    m_questionRow = row >= 0 && row < m_questionOrder.size() ? row : -1;
    emit questionSelected();
}

int ResultsPresenter::selectedQuestion() const
{
    return m_questionRow >= 0 ? m_questionOrder.at(m_questionRow) + 1 : 0;
}

AnswerDistribution ResultsPresenter::selectedDistribution() const
{
    const int question = selectedQuestion();
    if (question == 0)
        return {};
    return answerDistribution(m_data.classAnswers(), question,
                              m_data.standardAnswers.at(question - 1));
}

QString ResultsPresenter::selectedQuestionFile() const
{
    const int question = selectedQuestion();
    const QString file = question > 0 ? m_data.questionFiles.value(question - 1) : QString();
    if (file.isEmpty())
        return {};
    return RepositoryPaths(m_root).paperFile(m_data.paper, file);
}

QString ResultsPresenter::selectedResultProfile() const
{
    const StudentRecord *student = selectedStudent();
    if (!student)
        return {};
    return RepositoryPaths(m_root).resultProfile(m_data.paper, m_data.className, student->number);
}

Result ResultsPresenter::allowRetest()
{
    const QString path = selectedResultProfile();
    if (path.isEmpty())
        return {};
    const Result stored = storeRetestGrant(path, m_data.className, selectedStudent()->number);
    emit resultProfileTouched(path);
    if (stored)
        return stored;
    return Result::failure(
        QStringLiteral("未能允许 %1 重考: %2").arg(selectedStudentText(), stored.message()));
}

// "初二(3)班 102号 张三": the class, the number and, when the student gave one, his name.
QString ResultsPresenter::selectedStudentText() const
{
    const StudentRecord *student = selectedStudent();
    QString text = QStringLiteral("%1 %2号").arg(m_data.className, student->number);
    if (!student->name.isEmpty())
        text += u' ' + student->name;
    return text;
}

QString ResultsPresenter::deleteQuestion() const
{
    const QString path = selectedResultProfile();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    return QStringLiteral("确实要删除 %1 在试卷“%2”中的成绩吗?")
        .arg(selectedStudentText(), m_data.paper);
}

Result ResultsPresenter::deleteResult()
{
    const QString path = selectedResultProfile();
    if (path.isEmpty())
        return {};
    const Result moved = moveToDeletedResults(
        path, RepositoryPaths(m_root).deletedResultsFolder(m_data.paper), m_clock->now());
    emit resultProfileTouched(path);
    if (moved)
        return moved;
    return Result::failure(
        QStringLiteral("未能删除 %1 的成绩: %2").arg(selectedStudentText(), moved.message()));
}

} // namespace exam
