#pragma once

// The state and rules of the paper-management window, without widgets: the table of all papers'
// settings, the papers created and deleted since the last save, the selection, every field
// handler with its normalisation, and the operations behind the window's buttons. The window only
// shows this state and forwards the teacher's actions. Messages and questions go through Dialogs.

#include "proctor/authoring/paper_management_save.h"
#include "proctor/authoring/paper_table.h"
#include "repository/repository_paths.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {

// A numeric field's text after a change: the decimal text of its numeric value ("" and "abc"
// give "0", "08" gives "8", "-2.5" stays).
QString numberFieldText(const QString &text);

struct DrawCountText
{
    QString text;          // what the field shows
    bool exceeded = false; // more drawn than the paper has questions
};
// The number drawn, never more than the question count.
DrawCountText drawCountText(const QString &typed, const QString &questionCount);
// The total shown with a random draw: default mark × number drawn.
QString drawTotalText(const QString &defaultMark, const QString &drawCount);

class PaperManagement : public QObject
{
    Q_OBJECT

public:
    PaperManagement(const QString &repositoryRoot, platform::Dialogs &dialogs,
                    QObject *parent = nullptr);

    const RepositoryPaths &paths() const { return m_paths; }

    // Loads all papers and selects the first (when there is one).
    void open();

    const PaperTable &table() const { return m_table; }
    const QStringList &createdPapers() const { return m_created; }
    const QStringList &deletedPapers() const { return m_deleted; }
    // The selected list entry, -1 when none.
    int selection() const { return m_selection; }
    const PaperRow *selectedRow() const;

    // Shows the paper at list entry `index`: the row is normalised as the panel's handlers would
    // normalise what it shows. Sets currentPaper().
    void select(int index);

    // Field handlers. Each changes the selected row and returns the text its field must show; with
    // no paper selected nothing changes.
    QString editNumber(PaperColumn column, const QString &text); // TXT3, Txt10 … Txt13
    QString editAuthor(const QString &text);
    void editInstructions(const QString &text);
    void editPassword(PaperColumn column, const QString &text); // as typed
    // Ticking sets the default password (358 retest, 469 re-login), clearing empties it; returns
    // it.
    QString setPasswordOn(PaperColumn column, bool on);
    void setFlag(PaperColumn column, bool on);
    // Ticking also takes the paper's number drawn through the number-drawn handler, so that the
    // number the field shows is the one stored; returns it.
    QString setRandomDraw(bool on);
    // Shows "抽取的考题数不能超过考题总数！" when more are drawn than there are questions; also
    // updates the total shown (col 4).
    QString editDrawCount(const QString &text);

    void newPaper();
    void deletePaper();
    void moveUp();
    void moveDown();
    // Writes everything; on a failure says which papers could not be saved and why, and returns
    // false. Each paper is saved or fails on its own.
    bool saveAll();
    // "保存": save all, then "试卷已保存!".
    bool save();
    // "确定": save all; true when the window may close: everything was saved, or the teacher, told
    // which papers failed, chose to close all the same.
    bool saveForClosing();
    // "编辑试卷": save all, open the paper editor on the selected paper when its own save
    // succeeded (other papers' failures are reported, not in the way), reload its counts.
    void editPaper();
    void exportPaper();
    void importPaper();
    void exportToWord();
    void exportToPdf();

signals:
    // The list's names, their order or the selection changed.
    void listChanged();
    // The settings panel must show selectedRow().
    void paperShown();

private:
    PaperRow *row();
    void showMessage(const QString &text);
    // Saves all and keeps what failed pending; `report` shows the failures.
    SaveAllResult storeAll(bool report);
    void normaliseShownRow(PaperRow &r);
    QString applyDrawCount(PaperRow &r, const QString &text);

    RepositoryPaths m_paths;
    platform::Dialogs &m_dialogs;
    PaperTable m_table;
    QStringList m_created;
    QStringList m_deleted;
    int m_selection = -1;
};

} // namespace exam
