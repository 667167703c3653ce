#include "proctor/authoring/question_bank.h"

#include "platform/dialogs/dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/paper_editor.h"
#include "repository/profile_values.h"
#include "repository/system_profile.h"

#include <QFile>
#include <QTextDocument>

namespace exam {

QuestionBank::QuestionBank(const QString &repositoryRoot, PaperEditor &editor,
                           platform::Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_paths(repositoryRoot), m_editor(editor), m_dialogs(dialogs),
      m_preview(new QTextDocument(this))
{}

QString QuestionBank::buttonCaption() const
{
    return m_shown ? QStringLiteral("隐藏题库") : QStringLiteral("显示题库");
}

QString QuestionBank::buttonToolTip() const
{
    return m_shown ? QStringLiteral("隐藏题库,手工编辑试题 ")
                   : QStringLiteral("显示题库,以便从题库中导入试题");
}

void QuestionBank::toggle()
{
    m_shown = !m_shown;
    emit shownChanged(m_shown);
    reloadPapers();
}

void QuestionBank::reloadPapers()
{
    m_paperNames.clear();
    const QList<PaperEntry> roster =
        readPaperRoster(ProfileSnapshot::load(m_paths.systemProfile()));
    for (const PaperEntry &paper : roster)
        m_paperNames.append(paper.name);
    m_paperIndex = -1;
    m_bankPaper.clear();
    m_questions.clear();
    m_texts.clear();
    m_selection = -1;
    m_preview->clear();
    emit papersChanged();
    if (!m_paperNames.isEmpty())
        choosePaper(0);
    else
        emit questionsChanged();
}

QString QuestionBank::sourceFile(const QString &fileName) const
{
    const QString name = trimBlanks(fileName);
    return name.isEmpty() ? QString() : m_paths.paperFile(m_bankPaper, name);
}

void QuestionBank::choosePaper(int index)
{
    if (index < 0 || index >= m_paperNames.size())
        return;
    m_paperIndex = index;
    m_bankPaper = m_paperNames.at(index);
    const PaperData paper = loadPaper(m_paths.paperProfile(m_bankPaper));
    m_questions.clear();
    m_texts.clear();
    for (int k = 1; k <= paper.questionCount; ++k) {
        m_questions.append(paper.question(k));
        QFile file(sourceFile(paper.question(k).questionFile));
        m_texts.append(file.open(QIODevice::ReadOnly) ? rtf::rtfPlainText(file.readAll())
                                                      : QString());
    }
    // The list is filled anew and has no selection: the first import takes the first question.
    m_selection = -1;
    m_preview->clear();
    emit questionsChanged();
}

void QuestionBank::chooseQuestion(int index)
{
    if (index < 0 || index >= m_questions.size())
        return;
    m_selection = index;
    const QString path = sourceFile(m_questions.at(index).questionFile);
    if (path.isEmpty() || !rtf::loadRtfFile(path, m_preview))
        m_preview->clear();
    emit selectionChanged(index);
}

void QuestionBank::importSelected()
{
    if (m_questions.isEmpty())
        return;
    if (m_selection < 0)
        chooseQuestion(0);
    const int index = m_selection;
    const PaperQuestion &source = m_questions.at(index);
    const bool hasNext = index + 1 < m_questions.size();

    const QString name = trimBlanks(source.questionFile);
    if (!name.isEmpty() && m_editor.table().hasQuestionFile(name) &&
        !m_dialogs.okCancel(nullptr, QStringLiteral("该考题已经存在!\r\n您是否要添加同一考题?"))) {
        if (hasNext)
            chooseQuestion(index + 1);
        emit listFocusWanted();
        return;
    }

    // A failed import keeps the selection on its question, so that the teacher can try it again.
    if (m_editor.importQuestion(m_paths.paperFolder(m_bankPaper), source, m_texts.at(index)) &&
        hasNext)
        chooseQuestion(index + 1);
    emit listFocusWanted();
}

} // namespace exam
