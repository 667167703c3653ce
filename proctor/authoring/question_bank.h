#pragma once

// The question bank of the paper editor: every paper of the repository's paper list, browsed
// question by question, from which a question is copied into the paper being edited. Nothing is
// written to the repository here; the copy lands in the editor's working folder.
//
// State and rules without widgets; the bank panel of the editor window shows them.

#include "repository/paper_profile.h"
#include "repository/repository_paths.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QTextDocument;

namespace exam {

class PaperEditor;

class QuestionBank : public QObject
{
    Q_OBJECT

public:
    // `editor` and `dialogs` must outlive the bank.
    QuestionBank(const QString &repositoryRoot, PaperEditor &editor, platform::Dialogs &dialogs,
                 QObject *parent = nullptr);

    bool isShown() const { return m_shown; }
    QString buttonCaption() const;
    QString buttonToolTip() const;
    const QStringList &paperNames() const { return m_paperNames; }
    const QString &bankPaper() const { return m_bankPaper; }
    int paperIndex() const { return m_paperIndex; }
    int questionCount() const { return m_questions.size(); }
    const PaperQuestion &question(int index) const { return m_questions.at(index); } // 0-based
    const QStringList &questionTexts() const { return m_texts; }
    int selection() const { return m_selection; } // -1: none
    QTextDocument *preview() const { return m_preview; }

    // "显示题库"/"隐藏题库": shows or hides the bank, reads the paper list anew and chooses the
    // first paper.
    void toggle();
    // Reads the paper list and chooses its first paper.
    void reloadPapers();
    void choosePaper(int index);
    void chooseQuestion(int index);
    // Copies the selected question (the first when none is selected) into the edited paper, asking
    // first when the paper already holds a question of that file; then selects the next question.
    void importSelected();

signals:
    void shownChanged(bool shown);
    void papersChanged();
    void questionsChanged();
    void selectionChanged(int index);
    void listFocusWanted();

private:
    QString sourceFile(const QString &fileName) const;

    RepositoryPaths m_paths;
    PaperEditor &m_editor;
    platform::Dialogs &m_dialogs;
    bool m_shown = false;
    QStringList m_paperNames;
    QString m_bankPaper;
    int m_paperIndex = -1;
    QList<PaperQuestion> m_questions;
    QStringList m_texts;
    int m_selection = -1;
    QTextDocument *m_preview;
};

} // namespace exam
