#pragma once

// The paper table the save-all worker stores in round r: three papers whose settings change every
// round, so that each round's files differ from the last.

#include "attempt_pattern.h"

#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_table.h"

#include <QTextCursor>
#include <QTextDocument>

namespace reliability {

inline QStringList consolePapers()
{
    return {QStringLiteral("期中考试"), QStringLiteral("单元测验"), QStringLiteral("练习卷")};
}

inline exam::PaperTable roundPaperTable(int round)
{
    exam::PaperTable table;
    int k = 0;
    for (const QString &name : consolePapers()) {
        exam::PaperRow row = exam::newPaperRow(name);
        row.set(exam::PaperColumn::Open, QString::number((round + k) % 2));
        row.set(exam::PaperColumn::TestTime, QString::number(30 + (round + k) % 90));
        row.set(exam::PaperColumn::About, QStringLiteral("第%1轮说明").arg(round));
        row.set(exam::PaperColumn::Review, QString::number(round % 2));
        table.append(row);
        ++k;
    }
    return table;
}

// What the paper editor's "确定" stores in round r: one question's text grows by a line, its answer
// changes, and the paper is saved.
inline exam::Result storeEditorRound(exam::PaperEditor &editor, int round)
{
    editor.select(round % Questions + 1);
    QTextCursor cursor(editor.questionDocument());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("第%1轮").arg(round));
    exam::OptionTicks ticks{};
    for (std::size_t option = 0; option < ticks.size(); ++option)
        ticks[option] = ((round >> option) & 1) != 0;
    editor.setAnswerTicks(ticks);
    return editor.save();
}

} // namespace reliability
