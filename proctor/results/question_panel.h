#pragma once

// The right half of the results window: the question list with its three sort buttons, the selected
// student's answers, the selected question's text and the spread of the class's answers.

#include <QColor>
#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace exam {

class ResultsPresenter;

class QuestionPanel : public QWidget
{
    Q_OBJECT

public:
    explicit QuestionPanel(ResultsPresenter &presenter, QWidget *parent = nullptr);

    // The background of a distribution cell whose option is part of the standard answer.
    static QColor highlightColor() { return QColor(192, 64, 0); }
    // The background of the other cells.
    QColor neutralColor() const;

private:
    void buildControls();
    void showQuestions();
    void showAnswers();
    void showSelectedQuestion();
    void setCellColor(QLabel *cell, const QColor &color);

    ResultsPresenter &m_presenter;
    QPushButton *m_sortNumber = nullptr;
    QPushButton *m_sortAnswer = nullptr;
    QPushButton *m_sortRate = nullptr;
    QListWidget *m_questions = nullptr;
    QListWidget *m_answers = nullptr;
    QTextEdit *m_text = nullptr;
    std::array<QLabel *, 8> m_cells{};
};

} // namespace exam
