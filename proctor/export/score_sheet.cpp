#include "proctor/export/score_sheet.h"

#include "platform/xlsx/workbook.h"
#include "proctor/results/item_analysis.h"

#include <algorithm>
#include <array>

namespace exam {
namespace {

bool isPlainNumber(const QString &text)
{
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const qsizetype integerStart = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80)
        ++i;
    if (i == integerStart)
        return false;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80)
            ++i;
        if (i == fractionStart)
            return false;
    }
    return i == text.size();
}

// Writes into one sheet, remembering the first failure so that the filling code stays a list of
// cells.
class SheetWriter
{
public:
    SheetWriter(xlsx::Workbook &book, ScoreSheet sheet) : m_book(book), m_sheet(sheet) {}

    void text(int row, int column, const QString &value)
    {
        if (m_ok)
            m_ok = m_book.setText(int(m_sheet), row, column, value);
    }
    void text(const QString &cell, const QString &value)
    {
        if (m_ok)
            m_ok = m_book.setText(int(m_sheet), cell, value);
    }
    void value(int row, int column, const QString &value)
    {
        if (m_ok)
            m_ok = writeValue(m_book, m_sheet, row, column, value);
    }
    void number(int row, int column, double value)
    {
        if (m_ok)
            m_ok = m_book.setNumber(int(m_sheet), row, column, value);
    }
    void number(const QString &cell, double value)
    {
        if (m_ok)
            m_ok = m_book.setNumber(int(m_sheet), cell, value);
    }
    bool ok() const { return m_ok; }

private:
    xlsx::Workbook &m_book;
    ScoreSheet m_sheet;
    bool m_ok = true;
};

// The class's student count, which class management keeps within the number range: only that
// many positions are listed.
qsizetype listedStudents(const ResultsData &data)
{
    return std::clamp<qsizetype>(data.classCount, 0, data.students.size());
}

// Columns A to C of a student's row, which the student sheet and the answer grid share: number,
// name and former name. Returns the row.
int writeStudentNames(SheetWriter &sheet, const StudentRecord &student, qsizetype position)
{
    const int row = ScoreFirstDataRow + int(position);
    sheet.value(row, 1, student.number);
    sheet.text(row, 2, student.name);
    sheet.text(row, 3, student.formerName);
    return row;
}

void fillStudents(SheetWriter &sheet, const ResultsData &data)
{
    sheet.text(QStringLiteral("B2"), data.paper);
    sheet.text(QStringLiteral("E1"), data.className);
    for (qsizetype i = 0; i < listedStudents(data); ++i) {
        const StudentRecord &student = data.students.at(i);
        const int row = writeStudentNames(sheet, student, i);
        sheet.value(row, 4, student.score);
        // Absent students are ranked last with the key 0; the window hides that rank, and so does
        // the workbook.
        sheet.value(row, 5, student.score.isEmpty() ? QString() : student.rank);
        sheet.text(row, 6, student.remainingTime);
    }
}

void fillStatistics(SheetWriter &sheet, const ResultsData &data)
{
    const ScoreStatistics &s = data.statistics;
    sheet.text(QStringLiteral("B2"), data.paper);
    sheet.text(QStringLiteral("B1"), data.className);
    const bool anyone = s.participants() > 0;
    // The average and the percentages are the decimal texts the panel shows (15 significant
    // digits), taken as numbers.
    if (anyone)
        sheet.value(6, 2, s.averageText());
    const std::array<qint64, 10> counts = {
        s.highest(),
        s.lowest(),
        s.participants(),
        s.total(),
        s.bandCount(GradeBand::Excellent),
        s.bandCount(GradeBand::Good),
        s.bandCount(GradeBand::Medium),
        s.bandCount(GradeBand::Pass),
        s.bandCount(GradeBand::Fail),
        s.passed(),
    };
    for (size_t k = 0; k < counts.size(); ++k)
        sheet.number(7 + int(k), 2, double(counts[k]));
    if (!anyone)
        return;
    for (int band = 0; band < GradeBandCount; ++band)
        sheet.value(17 + band, 2, s.percentText(s.bandCount(GradeBand(band))));
    sheet.value(22, 2, s.percentText(s.passed()));
}

void fillQuestions(SheetWriter &sheet, const ResultsData &data)
{
    sheet.text(QStringLiteral("B2"), data.paper);
    sheet.text(QStringLiteral("F1"), data.className);
    // Each row names its question, so the rows land in question order whatever the list holds.
    for (const QuestionRow &question : data.questions) {
        const int row = ScoreFirstDataRow - 1 + question.number;
        sheet.number(row, 1, question.number);
        sheet.number(row, 2, double(question.standardAnswer));
        sheet.number(row, 3, question.correctRate);
        for (int option = 0; option < TableOptionCount; ++option)
            sheet.number(row, 4 + option, question.optionCounts[size_t(option)]);
    }
}

void fillAnswers(SheetWriter &sheet, const ResultsData &data)
{
    sheet.text(QStringLiteral("B2"), data.paper);
    sheet.text(QStringLiteral("F1"), data.className);
    const int questions = data.questionCount();
    for (int q = 1; q <= questions; ++q)
        sheet.text(ScoreFirstDataRow - 1, q + 3, QStringLiteral("题号%1").arg(q));
    for (qsizetype i = 0; i < listedStudents(data); ++i) {
        const StudentRecord &student = data.students.at(i);
        const int row = writeStudentNames(sheet, student, i);
        if (!student.hasScore)
            continue;
        for (int q = 1; q <= questions; ++q)
            sheet.number(row, q + 3,
                         double(q <= student.answers.size() ? student.answers.at(q - 1) : 0));
    }
}

// The position of the worksheet called `name`; 0 when the workbook has none.
int sheetNamed(const xlsx::Workbook &book, const char16_t *name)
{
    for (int sheet = 1; sheet <= book.sheetCount(); ++sheet) {
        if (book.isWorksheet(sheet) && book.sheetName(sheet) == QString::fromUtf16(name))
            return sheet;
    }
    return 0;
}

const QString tooFewStudents = QStringLiteral("人数不足");

void fillPaperQuality(SheetWriter &sheet, const ItemAnalysis &analysis)
{
    const PaperFigures &paper = analysis.paper;
    sheet.number(2, 2, paper.students);
    if (!analysis.enoughStudents) {
        for (int row = 3; row <= 9; ++row)
            sheet.text(row, 2, tooFewStudents);
        return;
    }
    const std::array<double, 5> figures = {paper.mean, paper.standardDeviation, paper.median,
                                           paper.lowest, paper.highest};
    for (size_t k = 0; k < figures.size(); ++k)
        sheet.number(3 + int(k), 2, figures[k]);
    if (paper.alpha) {
        sheet.number(8, 2, *paper.alpha);
        sheet.number(9, 2, *paper.measurementError);
    }
}

// Columns: 题号, 分值, 标准答案, 作答人数, 难度P, 区分度D, 题总相关, 选A … 选G, 未作答, 提示;
// shares as numbers between 0 and 1.
void fillItemQuality(SheetWriter &sheet, const ItemAnalysis &analysis)
{
    if (!analysis.enoughStudents) {
        sheet.text(2, 1, tooFewStudents);
        return;
    }
    for (const ItemFigures &item : analysis.items) {
        const int row = 1 + item.number;
        sheet.number(row, 1, item.number);
        sheet.number(row, 2, item.mark);
        sheet.text(row, 3, answerLetters(item.standardAnswer));
        sheet.number(row, 4, item.answered);
        sheet.number(row, 5, item.facility);
        sheet.number(row, 6, item.discrimination);
        if (item.itemRest)
            sheet.number(row, 7, *item.itemRest);
        for (int option = 0; option < AnalysedOptions; ++option)
            sheet.number(row, 8 + option, item.all.options[size_t(option)]);
        sheet.number(row, 8 + AnalysedOptions, item.all.blank);
        sheet.text(row, 9 + AnalysedOptions, hintText(item.hints));
    }
}

} // namespace

bool writeValue(xlsx::Workbook &book, ScoreSheet sheet, int row, int column, const QString &text)
{
    if (isPlainNumber(text))
        return book.setNumber(int(sheet), row, column, text.toDouble());
    return book.setText(int(sheet), row, column, text);
}

Result fillScoreSheets(xlsx::Workbook &book, const ResultsData &data)
{
    using Fill = void (*)(SheetWriter &, const ResultsData &);
    const std::array<std::pair<ScoreSheet, Fill>, 4> sheets = {{
        {ScoreSheet::Students, fillStudents},
        {ScoreSheet::Statistics, fillStatistics},
        {ScoreSheet::Questions, fillQuestions},
        {ScoreSheet::Answers, fillAnswers},
    }};
    for (const auto &[position, fill] : sheets) {
        if (!book.isWorksheet(int(position)))
            return Result::failure(
                QStringLiteral("成绩模板缺少第 %1 个工作表。").arg(int(position)));
        SheetWriter writer(book, position);
        fill(writer, data);
        if (!writer.ok())
            return Result::failure(book.errorString());
    }
    using QualityFill = void (*)(SheetWriter &, const ItemAnalysis &);
    const std::array<std::pair<const char16_t *, QualityFill>, 2> qualitySheets = {{
        {PaperQualitySheet, fillPaperQuality},
        {ItemQualitySheet, fillItemQuality},
    }};
    const ItemAnalysis analysis = analyseItems(data);
    for (const auto &[name, fill] : qualitySheets) {
        const int position = sheetNamed(book, name);
        if (position == 0)
            continue;
        SheetWriter writer(book, ScoreSheet(position));
        fill(writer, analysis);
        if (!writer.ok())
            return Result::failure(book.errorString());
    }
    return {};
}

} // namespace exam
