#pragma once

// The state of the results window without its widgets: the data of the last refresh, the display
// orders of the students and questions, the sort buttons' direction states, the selected rows, and
// the texts of every list. The window shows what this class says and forwards the user's actions.

#include "proctor/results/question_analysis.h"
#include "proctor/results/results_data.h"
#include "proctor/results/sort_routine.h"
#include "repository/clock.h"
#include "repository/result.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace exam {

enum class StudentColumn { Number = 0, Name, Score, Rank, RemainingTime };
enum class QuestionColumn { Number = 0, StandardAnswer, CorrectRate };

class ResultsPresenter : public QObject
{
    Q_OBJECT

public:
    explicit ResultsPresenter(QString root, QObject *parent = nullptr);

    const QString &root() const { return m_root; }
    // The data of the last refresh (empty before the first one).
    const ResultsData &data() const { return m_data; }
    bool hasData() const { return m_hasData; }

    // Shows a refresh: statistics, question table in question order, students ascending by
    // number, no student selected; the selected question row stays when the paper still has it.
    void setData(ResultsData data);

    void sortStudents(StudentColumn column);
    void sortQuestions(QuestionColumn column);
    const QList<int> &studentOrder() const { return m_studentOrder; }   // positions, 0-based
    const QList<int> &questionOrder() const { return m_questionOrder; } // questions, 0-based
    SortToggle &studentToggle(StudentColumn column) { return m_studentToggles[int(column)]; }
    SortToggle &questionToggle(QuestionColumn column) { return m_questionToggles[int(column)]; }

    QStringList namesRows() const;      // left student list
    QStringList scoreRows() const;      // right student list
    QStringList statisticsRows() const; // statistics panel
    QStringList questionRows() const;   // question list
    QStringList answerRows() const;     // the selected student's answers, in question order

    // -1 when none.
    int selectedStudentRow() const { return m_studentRow; }
    void selectStudentRow(int row);
    const StudentRecord *selectedStudent() const;

    int selectedQuestionRow() const { return m_questionRow; }
    void selectQuestionRow(int row);
    // The question (1-based) of the selected row, 0 when none.
    int selectedQuestion() const;
    AnswerDistribution selectedDistribution() const;
    // The path of the selected question's RTF file; empty when the paper names none.
    QString selectedQuestionFile() const;

    // The two changes the window makes to a result, on the student of the selected row. Without a
    // selected row both do nothing, which counts as done. A failure names the student and says why.
    // Writes the student's TIME2 empty, so his next login resumes the attempt.
    Result allowRetest();
    // The question asked before a deletion, naming the student and the paper; empty when the
    // selected student has no result profile (or no row is selected): there is nothing to delete.
    QString deleteQuestion() const;
    // Moves the student's result profile into the paper's deleted-results folder, stamped with
    // the clock's time; done also when he had none.
    Result deleteResult();
    // The clock that stamps deleted results; the system clock unless a test sets one. `clock`
    // must outlive the presenter.
    void setClock(const Clock &clock) { m_clock = &clock; }

signals:
    void studentsChanged(); // both student lists are rebuilt; no student is selected
    void statisticsChanged();
    void questionsChanged(); // question list and answer list rebuilt
    void answersChanged();   // the selected student's answers changed
    void questionSelected(); // text and distribution of the selected question
    // A retest or a deletion changed this result profile (whether or not the change succeeded).
    void resultProfileTouched(const QString &path);

private:
    QString selectedResultProfile() const;
    QString selectedStudentText() const;
    void questionsReordered();
    // One row per student in display order, from `rowText(const StudentRecord &)`.
    template <typename RowText> QStringList studentRows(RowText rowText) const;

    QString m_root;
    ResultsData m_data;
    bool m_hasData = false;
    QList<int> m_studentOrder;
    QList<int> m_questionOrder;
    std::array<SortToggle, 5> m_studentToggles;
    std::array<SortToggle, 3> m_questionToggles;
    int m_studentRow = -1;
    int m_questionRow = -1;
    const Clock *m_clock;
};

} // namespace exam
