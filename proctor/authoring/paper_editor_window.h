#pragma once

// The paper editor window "编辑试卷": the grid of questions, the question and explanation editors,
// the answer boxes, the marks, the buttons and the question bank. State and rules live in
// PaperEditor and QuestionBank; this form shows them and forwards the teacher's actions.

#include <QDialog>

#include <array>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTextEdit;

namespace exam {

class PaperEditor;
class QuestionBank;
class RandomSource;

class PaperEditorWindow : public QDialog
{
    Q_OBJECT

public:
    // Opens `paper` of the repository at `repositoryRoot`, working in `workingFolder`. When the
    // working folder cannot be used the window says so and isOpen() is false.
    PaperEditorWindow(const QString &repositoryRoot, const QString &paper,
                      const QString &workingFolder, platform::Dialogs &dialogs,
                      RandomSource &random, QWidget *parent = nullptr);

    bool isOpen() const { return m_open; }
    PaperEditor &editor() { return *m_editor; }
    QuestionBank &bank() { return *m_bank; }

    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const QString &name, const QString &caption);
    QGroupBox *buildQuestionFrame();
    void buildLayout();
    void connectControls();
    void showList();
    void showRowText(int row);
    void showCurrentRow();
    void showQuestionFields();
    void paintAnswerBox(QCheckBox *box);
    void answerBoxClicked();
    void ok();
    void showHelp();

    platform::Dialogs &m_dialogs;
    PaperEditor *m_editor;
    QuestionBank *m_bank;
    bool m_open = false;
    QTableWidget *m_grid;
    QGroupBox *m_questionFrame = nullptr;
    QGroupBox *m_bankFrame = nullptr;
    QTextEdit *m_questionEdit;
    QTextEdit *m_explanationEdit;
    std::array<QCheckBox *, 7> m_answers{};
    QLineEdit *m_mark;
    QCheckBox *m_useDefault;
    QLineEdit *m_defaultMark;
    QPushButton *m_bankButton = nullptr;
};

} // namespace exam
