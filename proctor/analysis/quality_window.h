#pragma once

// The window 质量分析: the item analysis of the results window's last refresh, with the paper's
// figures, the score histogram, the map of facility against discrimination, the question table and
// the option shares of the selected question. A click on a point of the map selects its question.

#include "proctor/analysis/quality_report.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QScatterSeries;
class QTableWidget;

namespace exam {

class QualityWindow : public QDialog
{
    Q_OBJECT

public:
    QualityWindow(const ResultsData &results, QualityReportContext reportContext,
                  QWidget *parent = nullptr);

    const ItemAnalysis &analysis() const { return m_analysis; }
    // The question shown in the option table, 0-based; -1 when none is.
    int selectedItem() const { return m_selected; }
    void selectItem(int index);
    // What a click on the map at `point` (P, D) does.
    void clickMap(const QPointF &point);

private:
    QWidget *buildFigures();
    QWidget *buildCharts();
    QWidget *buildQuestions();
    void showOptions(int index);
    void writeReport();

    ResultsData m_data;
    ItemAnalysis m_analysis;
    QualityReportContext m_reportContext;
    int m_selected = -1;

    QTableWidget *m_questions = nullptr;
    QTableWidget *m_options = nullptr;
    QLabel *m_optionsTitle = nullptr;
    QScatterSeries *m_points = nullptr;
    QPushButton *m_report = nullptr;
};

// The quality analysis as the results window's handler for "质量分析": opens the window modally.
std::function<void(QWidget *, const ResultsData &)> qualityAnalyser(QualityReportContext context);

} // namespace exam
