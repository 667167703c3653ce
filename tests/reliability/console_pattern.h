#pragma once

// The paper table the save-all worker stores in round r: three papers whose settings change every
// round, so that each round's files differ from the last.

#include "proctor/authoring/paper_table.h"

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

} // namespace reliability
