#pragma once

// The frame "题库" of the paper editor: the bank's paper list, its questions, the preview and the
// import button. It shows a QuestionBank and forwards the teacher's choices to it.

#include <QGroupBox>

class QComboBox;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace exam {

class QuestionBank;

class QuestionBankPanel : public QGroupBox
{
    Q_OBJECT

public:
    QuestionBankPanel(QuestionBank &bank, QWidget *parent = nullptr);

private:
    void showPapers();
    void showQuestions();
    void showSelection(int index);

    QuestionBank &m_bank;
    QComboBox *m_papers;
    QListWidget *m_questions;
    QTextEdit *m_preview;
    QPushButton *m_import;
};

} // namespace exam
