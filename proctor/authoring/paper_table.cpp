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
    return PaperEntry{name(), trimBlanks(at(PaperColumn::Open)), trimBlanks(at(PaperColumn::Review))};
}

void fillRowFromProfile(PaperRow &row, const ProfileSnapshot &paperProfile)
{
    const PaperSettings s = readPaperSettings(paperProfile, PaperReader::Console);
    row.set(PaperColumn::TestTime, s.testTime);
    row.set(PaperColumn::FullMark, s.fullMark);
    row.set(PaperColumn::ExerciseMode, s.exerciseMode);
    row.set(PaperColumn::RetestPassword, s.retestPassword);
    row.set(PaperColumn::ReloginPassword, s.reloginPassword);
    row.set(PaperColumn::DisplayScore, s.displayScore);
    row.set(PaperColumn::QuestionSort, s.changeQuestionSort);
    row.set(PaperColumn::AGrade, s.aGrade);
    row.set(PaperColumn::BGrade, s.bGrade);
    row.set(PaperColumn::CGrade, s.cGrade);
    row.set(PaperColumn::DGrade, s.dGrade);
    row.set(PaperColumn::QuestionCount, s.questionCount);
    row.set(PaperColumn::Author, s.author);
    row.set(PaperColumn::DefaultMark, s.defaultMark);
    row.set(PaperColumn::About, s.aboutTest);
    row.set(PaperColumn::RandomDraw, s.randomDraw);
    row.set(PaperColumn::DrawCount, s.randomDrawCount);
}

PaperRow newPaperRow(const QString &name)
{
    PaperRow row(name);
    row.set(PaperColumn::Open, QStringLiteral("1"));
    row.set(PaperColumn::ExerciseMode, QStringLiteral("0"));
    row.set(PaperColumn::RetestPassword, QStringLiteral("358"));
    row.set(PaperColumn::ReloginPassword, QStringLiteral("469"));
    row.set(PaperColumn::DisplayScore, QStringLiteral("1"));
    row.set(PaperColumn::QuestionSort, QStringLiteral("1"));
    row.set(PaperColumn::About, name);
    row.set(PaperColumn::TestTime, QStringLiteral("30"));
    row.set(PaperColumn::DefaultMark, QStringLiteral("5"));
    row.set(PaperColumn::AGrade, QStringLiteral("90"));
    row.set(PaperColumn::BGrade, QStringLiteral("80"));
    row.set(PaperColumn::CGrade, QStringLiteral("70"));
    row.set(PaperColumn::DGrade, QStringLiteral("60"));
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
