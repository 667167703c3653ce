#pragma once

// The score sheet: what one refresh of the results window computed, written into the four
// worksheets of the score template (students, statistics, questions, answer grid) at the cells
// the template is laid out for. Rows go by examination number and question number, whatever order
// the window shows.

#include "proctor/results/results_data.h"
#include "repository/result.h"

#include <QString>

namespace xlsx {
class Workbook;
}

namespace exam {

// The worksheets of the template, by position.
enum class ScoreSheet { Students = 1, Statistics = 2, Questions = 3, Answers = 4 };

// The quality analysis sheets that follow the four, found by name: a template without them (a
// school's own from before) still gets its four sheets, and a fifth sheet of its own is never
// written over.
inline constexpr auto PaperQualitySheet = u"试卷质量"; // B2:B9, the paper's figures
inline constexpr auto ItemQualitySheet = u"题目质量";  // a row per question from row 2

// The first row of the tables in every sheet; row 5 holds the headings.
inline constexpr int ScoreFirstDataRow = 6;

// Fills the four sheets one after the other, each completely before the next, then the quality
// sheets the template has. Stops at the first of the four that cannot be written (the template
// lacks it), failing with a message for the user; the sheets before it stay filled.
Result fillScoreSheets(xlsx::Workbook &book, const ResultsData &data);

// Writes a text that is a plain decimal number ("1003", "-2", "81.5") as a number cell, any other
// text as a text cell, so that the spreadsheet can calculate with scores and ranks.
bool writeValue(xlsx::Workbook &book, ScoreSheet sheet, int row, int column, const QString &text);

} // namespace exam
