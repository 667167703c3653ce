#pragma once

// State and rules of the paper editor "编辑试卷" without widgets: the working folder, the question
// table, the two rich-text documents of the current question, the answer and mark fields and the
// modified flag. The window shows this state and forwards the teacher's actions; tests drive it
// directly.
//
// The modified flag counts the teacher's changes only. The editor filling its own fields (loading
// a question, ticking its answer boxes, the blank question of an empty paper) leaves it alone, so
// opening and closing an untouched paper asks nothing.

#include "interchange/interchange_question.h"
#include "proctor/authoring/question_table.h"
#include "repository/answer_digits.h"
#include "repository/repository_paths.h"

#include <QObject>
#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QTextDocument;

namespace exam {

class RandomSource;

class PaperEditor : public QObject
{
    Q_OBJECT

public:
    // Nothing is read until open(). `dialogs` and `random` must outlive the editor.
    PaperEditor(const QString &repositoryRoot, const QString &paper, const QString &workingFolder,
                platform::Dialogs &dialogs, RandomSource &random, QObject *parent = nullptr);

    // Empties the working folder and loads the paper; a question's files are copied into the
    // working folder when the question is first shown. Fails (with a Chinese text) when the
    // working folder cannot be used.
    Result open();
    // The first time the window is shown: an empty paper gets one blank question, then question 1
    // is shown. Later activations change nothing, so the teacher keeps his place.
    void activate();

    // --- State for the window ---------------------------------------------------------------
    const QString &paperName() const { return m_paper; }
    const QString &workingFolder() const { return m_workingFolder; }
    QString windowTitle() const;
    const QuestionTable &table() const { return m_table; }
    int current() const { return m_current; } // 0: no question is current
    bool isModified() const { return m_modified; }
    QString frameCaption() const { return m_frameCaption; }
    QTextDocument *questionDocument() const { return m_questionDoc; }
    QTextDocument *explanationDocument() const { return m_explanationDoc; }
    OptionTicks answerTicks() const;
    bool usesDefaultMark() const { return m_usesDefaultMark; }
    const QString &markFieldText() const { return m_markFieldText; }
    // The path in the working folder of a question's file name (empty for an empty name).
    QString workingFile(const QString &fileName) const;

    // --- The teacher's actions ----------------------------------------------------------------
    // Every action that loads another question into the editors first writes them back; when that
    // fails the message is shown and the current question stays, with its text, on screen.
    void select(int row);
    void previous();
    void next();
    void moveUp();
    void moveDown();
    void insert();
    void remove();
    // The answer boxes as they are after the teacher ticked or cleared one (mouse or keyboard).
    void setAnswerTicks(const OptionTicks &ticks);
    void setUsesDefaultMark(bool on);
    void editOwnMark(const QString &text);
    void editDefaultMark(const QString &text);
    // Appends a copy of a question of another paper (the question bank): its two files are copied
    // from `sourceFolder` under new names, its answer and mark are kept, and it becomes current.
    // A missing source file gives an empty one (the question shows empty editors); a source file
    // that cannot be copied is reported and nothing is added. False when nothing was added.
    bool importQuestion(const QString &sourceFolder, const PaperQuestion &source,
                        const QString &plainText);

    // "导入题目…": asks for a file of questions from another program (Aiken, GIFT, Moodle XML) and
    // adds its questions after the current one, the first of them becoming current. A file with
    // an error adds nothing and says where; questions the paper cannot hold are listed after the
    // import. Nothing reaches the paper folder before "确定", so "取消" drops the import as it
    // drops any edit.
    void importQuestionFile();
    // Adds the questions after the current one; false (with a message) when nothing was added.
    bool importQuestions(const QList<interchange::InterchangeQuestion> &questions);

    // Writes each editor back to its file in the working folder when it was changed.
    bool saveEditors();
    // "确定": the files go back into the paper folder, the profile is written, files no question
    // names are removed from the paper folder. Fails (nothing claimed, the working folder kept,
    // a Chinese text saying what) when something could not be stored.
    Result save();
    // Whether the window may close: asks "您是否不保存修改并退出?" when there are unsaved changes.
    bool confirmClose();
    // Deletes the working copies; the window calls it when it has closed.
    void clearWorkingFolder();

signals:
    void listChanged();           // rows added, removed or moved
    void rowTextChanged(int row); // the plain text of one row
    void currentChanged();        // another row is current
    void questionShown();         // answer boxes, mark fields and caption to be shown anew
    void captionChanged();
    void modifiedChanged(bool modified);
    void questionEditorWanted(); // the question editor should take the focus

private:
    void setModified(bool modified);
    void showQuestion();
    void updateCaption(const QString &totalLabel);
    QString paperFolder() const;
    QString workingCopy(const QString &fileName);
    void loadDocument(QTextDocument *document, const QString &path);
    bool saveDocument(QTextDocument *document, QString &path, bool isQuestionFile);
    QString newWorkingFile(QString *name);
    int insertBlank();
    void questionTextEdited();
    void explanationEdited();
    void showMessage(const QString &text);

    RepositoryPaths m_paths;
    QString m_paper;
    QString m_workingFolder;
    platform::Dialogs &m_dialogs;
    RandomSource &m_random;

    QuestionTable m_table;
    int m_current = 0;
    bool m_modified = false;
    bool m_activated = false;
    bool m_filling = false;
    QString m_frameCaption;
    QTextDocument *m_questionDoc;
    QTextDocument *m_explanationDoc;
    QString m_questionPath; // the files the two documents were loaded from
    QString m_explanationPath;
    bool m_usesDefaultMark = true;
    QString m_markFieldText;
};

} // namespace exam
