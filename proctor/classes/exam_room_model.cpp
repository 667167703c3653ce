#include "proctor/classes/exam_room_model.h"

namespace exam {

namespace {

const QString &flagText(bool set)
{
    return set ? YesText : NoText;
}

} // namespace

QString toggledFlagText(const QString &text)
{
    if (text == YesText)
        return NoText;
    if (text == NoText)
        return YesText;
    return text;
}

ExamRoomModel::ExamRoomModel(QObject *parent) : QObject(parent) {}

void ExamRoomModel::load(const ProfileSnapshot &systemProfile)
{
    m_papers.clear();
    m_open.clear();
    for (const PaperEntry &paper : readPaperRoster(systemProfile)) {
        m_papers << paper.name;
        m_open << flagText(paper.isOpen());
    }
    m_classes.clear();
    for (const ClassEntry &entry : readClassTable(systemProfile))
        m_classes << entry.name;

    m_admission.clear();
    for (const QString &paper : std::as_const(m_papers)) {
        QStringList column;
        for (const QString &className : std::as_const(m_classes))
            column << flagText(
                isAdmitted(systemProfile, paper, className, AdmissionReader::ExamRoomWindow));
        m_admission << column;
    }
    m_scratch = QStringList(m_classes.size(), QString());
    m_selectedPaper = -1;
    emit openChanged();
    emit admissionChanged();
}

QStringList ExamRoomModel::admissionTexts() const
{
    return m_selectedPaper >= 0 ? m_admission.at(m_selectedPaper) : m_scratch;
}

QString ExamRoomModel::admissionText(int paper, int classRow) const
{
    if (paper < 0 || paper >= m_admission.size())
        return {};
    return m_admission.at(paper).value(classRow);
}

QStringList &ExamRoomModel::shownColumn()
{
    return m_selectedPaper >= 0 ? m_admission[m_selectedPaper] : m_scratch;
}

void ExamRoomModel::selectPaper(int paper)
{
    const int wanted = paper >= 0 && paper < m_papers.size() ? paper : -1;
    if (wanted == m_selectedPaper)
        return;
    m_selectedPaper = wanted;
    emit admissionChanged();
}

void ExamRoomModel::toggleOpen(int paper)
{
    if (paper < 0 || paper >= m_open.size())
        return;
    m_open[paper] = toggledFlagText(m_open.at(paper));
    emit openChanged();
}

void ExamRoomModel::toggleAdmission(int classRow)
{
    QStringList &column = shownColumn();
    if (classRow < 0 || classRow >= column.size())
        return;
    column[classRow] = toggledFlagText(column.at(classRow));
    emit admissionChanged();
}

void ExamRoomModel::setShownColumn(const QString &text)
{
    QStringList &column = shownColumn();
    column.fill(text);
    emit admissionChanged();
}

void ExamRoomModel::admitAll()
{
    setShownColumn(YesText);
}

void ExamRoomModel::admitNone()
{
    setShownColumn(NoText);
}

QList<ExamRoomPaper> ExamRoomModel::papersToWrite() const
{
    QList<ExamRoomPaper> result;
    result.reserve(m_papers.size());
    for (qsizetype i = 0; i < m_papers.size(); ++i) {
        ExamRoomPaper paper;
        paper.name = m_papers.at(i);
        paper.open = m_open.at(i) == YesText;
        for (const QString &text : m_admission.at(i))
            paper.admitted << (text == YesText);
        result << paper;
    }
    return result;
}

} // namespace exam
