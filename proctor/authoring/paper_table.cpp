#include "proctor/authoring/paper_table.h"

#include "proctor/authoring/paper_folders.h"
#include "repository/profile_values.h"

namespace exam {

QString PaperRow::name() const
{
    return trimBlanks(at(PaperColumn::Name));
}

PaperSettings PaperRow::settings() const
{
    PaperSettings s;
    s.testTime = at(PaperColumn::TestTime);
    s.exerciseMode = at(PaperColumn::ExerciseMode);
    s.retestPassword = at(PaperColumn::RetestPassword);
    s.reloginPassword = at(PaperColumn::ReloginPassword);
    s.displayScore = at(PaperColumn::DisplayScore);
    s.changeQuestionSort = at(PaperColumn::QuestionSort);
    s.aGrade = at(PaperColumn::AGrade);
    s.bGrade = at(PaperColumn::BGrade);
    s.cGrade = at(PaperColumn::CGrade);
    s.dGrade = at(PaperColumn::DGrade);
    s.author = at(PaperColumn::Author);
    s.aboutTest = at(PaperColumn::About);
    s.randomDraw = at(PaperColumn::RandomDraw);
    s.randomDrawCount = at(PaperColumn::DrawCount);
    s.questionCount = at(PaperColumn::QuestionCount);
    s.defaultMark = at(PaperColumn::DefaultMark);
    s.fullMark = at(PaperColumn::FullMark);
    return s;
}

PaperEntry PaperRow::rosterEntry() const
{
    return PaperEntry{name(), trimBlanks(at(PaperColumn::Open)),
                      trimBlanks(at(PaperColumn::Review))};
}

void PaperRow::setSettings(const PaperSettings &s)
{
    set(PaperColumn::TestTime, s.testTime);
    set(PaperColumn::FullMark, s.fullMark);
    set(PaperColumn::ExerciseMode, s.exerciseMode);
    set(PaperColumn::RetestPassword, s.retestPassword);
    set(PaperColumn::ReloginPassword, s.reloginPassword);
    set(PaperColumn::DisplayScore, s.displayScore);
    set(PaperColumn::QuestionSort, s.changeQuestionSort);
    set(PaperColumn::AGrade, s.aGrade);
    set(PaperColumn::BGrade, s.bGrade);
    set(PaperColumn::CGrade, s.cGrade);
    set(PaperColumn::DGrade, s.dGrade);
    set(PaperColumn::QuestionCount, s.questionCount);
    set(PaperColumn::Author, s.author);
    set(PaperColumn::DefaultMark, s.defaultMark);
    set(PaperColumn::About, s.aboutTest);
    set(PaperColumn::RandomDraw, s.randomDraw);
    set(PaperColumn::DrawCount, s.randomDrawCount);
}

void fillRowFromProfile(PaperRow &row, const ProfileSnapshot &paperProfile)
{
    row.setSettings(readPaperSettings(paperProfile, PaperReader::Console));
}

PaperRow newPaperRow(const QString &name)
{
    PaperRow row(name);
    row.setSettings(newPaperSettings(name));
    row.set(PaperColumn::Open, QStringLiteral("1"));
    return row;
}

PaperTable PaperTable::load(const RepositoryPaths &paths)
{
    PaperTable table;
    const ProfileSnapshot system = ProfileSnapshot::load(paths.systemProfile());
    const QList<PaperEntry> roster = readPaperRoster(system, QStringLiteral("0"));
    for (const PaperEntry &entry : roster) {
        PaperRow row(entry.name);
        row.set(PaperColumn::Open, entry.openFlag);
        row.set(PaperColumn::Review, entry.reviewFlag);
        // A stored name such as "../x" must not make the console read outside the repository.
        const ProfileSnapshot paper = isSafeFolderName(entry.name)
                                          ? ProfileSnapshot::load(paths.paperProfile(entry.name))
                                          : ProfileSnapshot();
        fillRowFromProfile(row, paper);
        table.append(row);
    }
    return table;
}

QStringList PaperTable::names() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const PaperRow &r : m_rows)
        result << r.name();
    return result;
}

bool PaperTable::containsName(const QString &name, Qt::CaseSensitivity cs) const
{
    for (const PaperRow &r : m_rows) {
        if (r.name().compare(name, cs) == 0)
            return true;
    }
    return false;
}

} // namespace exam
