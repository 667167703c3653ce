#pragma once

// The paper-management window's in-memory copy of every paper's settings: one row per paper in
// list order, 20 text columns. Nothing here touches the repository except load() and
// rowFromProfile(), which only read.

#include "repository/paper_profile.h"
#include "repository/profile_file.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace exam {

// Columns 1 … 20 of a row, numbered as the settings panel documents them.
enum class PaperColumn {
    Name = 1,         // paper name; list entry, TestName/i, folder name
    Open = 2,         // TestName/<paper>
    TestTime = 3,     // TESTTIME
    FullMark = 4,     // full_mark, shown only
    ExerciseMode = 5, // EXERCISEMODE
    RetestPassword = 6,
    ReloginPassword = 7,
    DisplayScore = 8,
    QuestionSort = 9, // CHANGE_QUESTION_SORT
    AGrade = 10,
    BGrade = 11,
    CGrade = 12,
    DGrade = 13,
    QuestionCount = 14, // Question_conut, shown only
    Author = 15,
    DefaultMark = 16, // Mark, shown only
    About = 17,       // about_test
    RandomDraw = 18,  // rnd_test
    DrawCount = 19,   // rnd_test_No
    Review = 20,      // LetViewTest/<paper>
};

class PaperRow
{
public:
    PaperRow() = default;
    explicit PaperRow(const QString &name) { set(PaperColumn::Name, name); }

    const QString &at(PaperColumn column) const { return m_cells.at(index(column)); }
    void set(PaperColumn column, const QString &text) { m_cells.at(index(column)) = text; }
    // The name as it goes into paths, keys and the system profile: trimmed.
    QString name() const;

    // The settings the paper profile's MAIN receives (only the keys paper management owns are
    // written from it; see writePaperSettings()).
    PaperSettings settings() const;
    // Cols 3 … 19 from the settings, as they are.
    void setSettings(const PaperSettings &settings);
    PaperEntry rosterEntry() const;

    friend bool operator==(const PaperRow &, const PaperRow &) = default;

private:
    static std::size_t index(PaperColumn column) { return static_cast<std::size_t>(column) - 1; }
    std::array<QString, 20> m_cells;
};

// Cols 3 … 19 from the paper profile's MAIN, each trimmed, every missing key read as "0".
void fillRowFromProfile(PaperRow &row, const ProfileSnapshot &paperProfile);

// A paper made by "新建": open, with the settings of newPaperSettings(); cols 4, 14, 15, 18, 19, 20
// empty.
PaperRow newPaperRow(const QString &name);

class PaperTable
{
public:
    // The paper roster of the system profile with each paper's settings from its profile.
    // A name that cannot be a folder name of the repository reads as a paper without a profile.
    static PaperTable load(const RepositoryPaths &paths);

    qsizetype count() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // Rows are indexed from 0 like the list entries (row i is list entry i).
    const PaperRow &row(qsizetype index) const { return m_rows.at(index); }
    PaperRow &row(qsizetype index) { return m_rows[index]; }
    const QList<PaperRow> &rows() const { return m_rows; }

    void append(const PaperRow &row) { m_rows.append(row); }
    void remove(qsizetype index) { m_rows.removeAt(index); }
    void swap(qsizetype a, qsizetype b) { m_rows.swapItemsAt(a, b); }

    // Trimmed names in list order.
    QStringList names() const;
    // Whether a listed (trimmed) name equals `name` in the given letter-case sensitivity.
    bool containsName(const QString &name, Qt::CaseSensitivity cs) const;

private:
    QList<PaperRow> m_rows;
};

} // namespace exam
