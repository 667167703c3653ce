#include "proctor/authoring/question_table.h"

#include "repository/profile_values.h"

#include <limits>
#include <utility>

namespace exam {

QuestionTable::QuestionTable(PaperData paper, QStringList plainTexts)
    : m_paper(std::move(paper)), m_texts(std::move(plainTexts))
{
    if (m_paper.questionCount < 0)
        m_paper.questionCount = 0;
    keepSpareRows();
}

// Rows 0 … count + 1 as loadPaper() makes them; texts one per question.
void QuestionTable::keepSpareRows()
{
    m_paper.questions.resize(count() + 2);
    m_texts.resize(count());
}

void QuestionTable::setPlainText(int row, const QString &text)
{
    if (isValidRow(row))
        m_texts[row - 1] = text;
}

void QuestionTable::setAnswer(int row, const QString &answer)
{
    if (isValidRow(row))
        m_paper.questions[row].answer = answer;
}

void QuestionTable::setMark(int row, const QString &mark)
{
    if (isValidRow(row))
        m_paper.questions[row].mark = mark;
}

void QuestionTable::setQuestionFile(int row, const QString &name)
{
    if (isValidRow(row))
        m_paper.questions[row].questionFile = name;
}

void QuestionTable::setExplainFile(int row, const QString &name)
{
    if (isValidRow(row))
        m_paper.questions[row].explainFile = name;
}

void QuestionTable::setDefaultMark(qint16 mark)
{
    m_paper.defaultMark = mark;
}

int QuestionTable::insertAfter(int current, const QString &questionFile, const QString &explainFile)
{
    if (count() >= std::numeric_limits<qint16>::max())
        return 0;
    const int row = isValidRow(current) ? current + 1 : 1;
    ++m_paper.questionCount;
    keepSpareRows();
    for (int i = count(); i > row; --i) {
        m_paper.questions[i] = m_paper.questions[i - 1];
        m_texts[i - 1] = m_texts[i - 2];
    }
    PaperQuestion blank;
    blank.questionFile = questionFile;
    blank.explainFile = explainFile;
    if (row > 1)
        blank.mark = m_paper.questions[row - 1].mark;
    m_paper.questions[row] = blank;
    m_texts[row - 1].clear();
    return row;
}

int QuestionTable::append(const PaperQuestion &question, const QString &plainText)
{
    if (count() >= std::numeric_limits<qint16>::max())
        return 0;
    ++m_paper.questionCount;
    keepSpareRows();
    m_paper.questions[count()] = question;
    m_texts[count() - 1] = plainText;
    return count();
}

bool QuestionTable::remove(int row)
{
    if (count() <= 1 || !isValidRow(row))
        return false;
    m_paper.questions.removeAt(row);
    m_texts.removeAt(row - 1);
    --m_paper.questionCount;
    keepSpareRows();
    return true;
}

void QuestionTable::swapRows(int a, int b)
{
    m_paper.questions.swapItemsAt(a, b);
    m_texts.swapItemsAt(a - 1, b - 1);
}

bool QuestionTable::moveUp(int row)
{
    if (row <= 1 || row > count())
        return false;
    swapRows(row - 1, row);
    return true;
}

bool QuestionTable::moveDown(int row)
{
    if (row < 1 || row >= count())
        return false;
    swapRows(row, row + 1);
    return true;
}

qint16 QuestionTable::total() const
{
    return totalMark(m_paper);
}

PaperData QuestionTable::paperToSave() const
{
    PaperData paper = m_paper;
    paper.fullMark = total();
    return paper;
}

bool QuestionTable::hasQuestionFile(const QString &name) const
{
    const QString wanted = trimBlanks(name);
    for (int k = 1; k <= count(); ++k) {
        if (trimBlanks(question(k).questionFile).compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QSet<QString> QuestionTable::referencedFiles() const
{
    QSet<QString> names;
    for (int k = 1; k <= count(); ++k) {
        names.insert(trimBlanks(question(k).questionFile).toLower());
        names.insert(trimBlanks(question(k).explainFile).toLower());
    }
    names.remove(QString());
    return names;
}

} // namespace exam
